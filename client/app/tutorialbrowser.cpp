#include "tutorialbrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace pw::client {

TutorialBrowser::TutorialBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(u"htmlview"_s);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    QFont font(u"Times New Roman"_s);
    font.setStyleHint(QFont::Serif);
    document()->setDefaultFont(font);
    document()->setDefaultStyleSheet(u"pre, code { font-family: 'Courier New', monospace; }"_s);
    QPalette white = palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    setPalette(white);
}

void TutorialBrowser::setFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    m_folder = canonical.isEmpty() ? QString() : canonical + u'/';
}

QVariant TutorialBrowser::loadResource(int type, const QUrl &name)
{
    Q_UNUSED(type)
    if (m_folder.isEmpty())
        return {};
    QString path;
    if (name.isLocalFile())
        path = name.toLocalFile();
    else if (name.scheme().isEmpty())
        path = m_folder + name.path();
    else
        return {}; // no network, no other schemes
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(m_folder))
        return {};
    QFile file(canonical);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return {};
    return file.readAll();
}

} // namespace pw::client
