#include "reportdocument.h"

#include "client/core/setuptexts.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QTextCharFormat charFormat(const FontSetting &font)
{
    QTextCharFormat format;
    format.setFontFamilies({font.name});
    format.setFontPointSize(font.size);
    format.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic);
    format.setFontUnderline(font.underline);
    format.setFontStrikeOut(font.strikeout);
    format.setForeground(QColor(font.colour.red, font.colour.green, font.colour.blue));
    return format;
}

} // namespace

ReportDocument::ReportDocument(const QStringList &lines, const Fonts &fonts)
    : m_document(std::make_unique<QTextDocument>())
    , m_bodyFont(fonts.body)
{
    m_document->setUndoRedoEnabled(false);
    // Long lines wrap at blanks, and an address longer than the page wraps anywhere
    // rather than running off the paper.
    QTextOption option = m_document->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_document->setDefaultTextOption(option);

    QTextBlockFormat heading;
    heading.setNonBreakableLines(true);
    QTextCursor cursor(m_document.get());
    cursor.setBlockFormat(heading);
    cursor.setBlockCharFormat(charFormat(fonts.title));
    cursor.insertText(QString::fromUtf8(text::kReportTitle), charFormat(fonts.title));
    cursor.insertBlock(heading, charFormat(fonts.subtitle));

    const QTextBlockFormat body;
    const QTextCharFormat bodyFormat = charFormat(fonts.body);
    for (const QString &line : lines) {
        cursor.insertBlock(body, bodyFormat);
        cursor.insertText(line, bodyFormat);
    }
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::setHeader(const QString &left, const QString &right)
{
    m_headerLeft = left;
    m_headerRight = right;
}

int ReportDocument::print(QPrinter *printer) const
{
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    std::unique_ptr<QTextDocument> doc(m_document->clone());
    doc->setDocumentMargin(0);
    doc->documentLayout()->setPaintDevice(printer);

    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    QFont headerFont(m_bodyFont.name);
    headerFont.setPointSize(8);
    const bool header = !m_headerLeft.isEmpty() || !m_headerRight.isEmpty();
    const qreal headerHeight = header ? QFontMetricsF(headerFont, printer).height() * 1.6 : 0;
    const QSizeF body(page.width(), page.height() - headerHeight);
    doc->setPageSize(body);

    const int pages = doc->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer->newPage();
        if (header) {
            painter.save();
            painter.setFont(headerFont);
            painter.setPen(Qt::black);
            const QRectF band(0, 0, page.width(), headerHeight);
            painter.drawText(band, Qt::AlignLeft | Qt::AlignTop, m_headerLeft);
            painter.drawText(band, Qt::AlignRight | Qt::AlignTop, m_headerRight);
            painter.restore();
        }
        painter.save();
        painter.translate(0, headerHeight - i * body.height());
        // The layout moves a line that would cross the page's edge to the next page, while
        // its paragraph still starts on this one. Such a line lies exactly at the edge, and
        // an exact clip would draw it here too: invisible, but written into the printout.
        doc->drawContents(&painter, QRectF(0, i * body.height() + 1, body.width(), body.height() - 2));
        painter.restore();
    }
    painter.end();
    return pages;
}

} // namespace pw::client
