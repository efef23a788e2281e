#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace pw::server {

// The markup the highlighter puts into a page. Colours are in the "#RRGGBB" form.
QByteArray frameStart(QByteArrayView colour);
inline constexpr QByteArrayView kFrameEnd = "</td></table>";
QByteArray keywordStart(QByteArrayView colour);
inline constexpr QByteArrayView kKeywordEnd = "</b></font>";

// Where one piece of inserted markup sits in a marked text.
struct MarkupSpan
{
    qsizetype offset = 0;
    qsizetype length = 0;

    friend bool operator==(const MarkupSpan &, const MarkupSpan &) = default;
};
using MarkupSpans = QList<MarkupSpan>;

// Builds a marked text by copying its source in order and putting markup between the
// copied bytes, so a scan that "inserts" as it goes costs one copy of the text instead of
// one per insertion. Nothing is copied until the first insertion: an unmarked text comes
// back shared with its source.
class MarkedText
{
public:
    // `spans`, when given, receives where each insertion landed in the result. `spare`,
    // when given, lends its memory to the result (a scan after a scan need not allocate).
    explicit MarkedText(const QByteArray &source, MarkupSpans *spans = nullptr, QByteArray *spare = nullptr);

    // Puts markup before the source byte at `at`. Positions never go backwards.
    void insert(qsizetype at, QByteArrayView markup);
    QByteArray finish();

private:
    const QByteArray &m_source;
    MarkupSpans *m_spans;
    QByteArray *m_spare;
    QByteArray m_out;
    qsizetype m_copied = 0;
    bool m_started = false;
};

} // namespace pw::server
