#include "htmlview.h"

#include "client/core/storedpage.h"
#include "store/fileio.h"

#include <QImage>
#include <QMouseEvent>

namespace pw::client {

HtmlView::HtmlView(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HTMLViewer1"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::StyledPanel);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    QFont body(QStringLiteral("Times New Roman"));
    body.setStyleHint(QFont::Serif);
    document()->setDefaultFont(body);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        // The raw text as written in the page, not Qt's normalised URL.
        Q_EMIT linkClicked(m_pressedLink.isEmpty() ? url.toString() : m_pressedLink);
        m_pressedLink.clear();
    });
}

bool HtmlView::loadPage(const QString &path)
{
    const ReadResult read = readFileBounded(path);
    if (read.status != ReadResult::Ok)
        return false;
    setHtml(decodeStoredPage(read.content));
    return true;
}

QVariant HtmlView::loadResource(int type, const QUrl &)
{
    // Text and links only: nothing is fetched, from the network or from disk. An empty
    // answer would let the document read local files itself, so every resource gets a
    // blank of its kind.
    if (type == QTextDocument::ImageResource) {
        QImage blank(1, 1, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        return blank;
    }
    if (type == QTextDocument::StyleSheetResource)
        return QString();
    return QByteArray();
}

void HtmlView::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink = anchorAt(event->position().toPoint());
    QTextBrowser::mousePressEvent(event);
}

void HtmlView::mouseMoveEvent(QMouseEvent *event)
{
    const QString link = anchorAt(event->position().toPoint());
    if (link != m_coveredLink) {
        m_coveredLink = link;
        Q_EMIT linkCovered(link);
    }
    QTextBrowser::mouseMoveEvent(event);
}

} // namespace pw::client
