#pragma once

#include "highlightmarkup.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace pw::server {

// The keywords of a keyword text, in the order written: words are separated by spaces;
// text in double quotes is one keyword, spaces included and kept untrimmed (even when
// empty); text run into an opening double quote is dropped.
QList<QByteArray> keywordlist(QByteArrayView text);

// The keyword text as bytes comparable with the page's: UTF-8 for a page that is valid
// UTF-8; for any other page Latin-1 when every character fits, else UTF-8.
QByteArray keywordBytes(const QString &keywords, QByteArrayView page);

// How letters are compared when case does not count: ASCII letters only, or every letter
// (simple Unicode case folding) when text and keyword are valid UTF-8.
enum class CaseFolding { None, Ascii, Unicode };
CaseFolding caseFoldingFor(QByteArrayView text, bool matchCase);

// Sets every keyword in bold colour, each keyword in a scan of its own over the result of
// the one before. Outside tags only; in whole-word mode a keyword counts between ">" or a
// space and a space or "<", or between "&nbsp;" and a space. A keyword that is empty or
// holds "<" marks nothing: it could only match across tags.
QByteArray markkeywords(const QByteArray &text, const QList<QByteArray> &keywords, bool wholeWord, bool matchCase,
                        QByteArrayView colour);

// One keyword's scan of markkeywords.
QByteArray markKeyword(const QByteArray &text, QByteArrayView keyword, bool wholeWord, CaseFolding folding,
                       QByteArrayView colour, MarkupSpans *spans = nullptr);

} // namespace pw::server
