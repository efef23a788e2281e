#pragma once

#include "store/fontsetting.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QTextDocument;

namespace pw::client {

// A retrieval report laid out for printing: the title line in the title font, an empty
// line in the subtitle font, then the report's lines in the body font, wrapped to the
// page. Each page may carry a header line with the URL List's name and the date.
class ReportDocument
{
public:
    struct Fonts
    {
        FontSetting title;
        FontSetting subtitle;
        FontSetting body;
    };

    ReportDocument(const QStringList &lines, const Fonts &fonts);
    ~ReportDocument();

    // The header's two ends; an empty text is left out, and with both empty there is none.
    void setHeader(const QString &left, const QString &right);

    // Lays the report out on `printer`'s pages and paints them; gives the number of pages,
    // 0 when the printer could not be painted on.
    int print(QPrinter *printer) const;

    const QTextDocument &document() const { return *m_document; }

private:
    std::unique_ptr<QTextDocument> m_document;
    FontSetting m_bodyFont;
    QString m_headerLeft;
    QString m_headerRight;
};

} // namespace pw::client
