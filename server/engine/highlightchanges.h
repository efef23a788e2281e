#pragma once

#include "highlightmarkup.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace pw::server {

// Cuts a joined text into blocks at block tags outside comments: each block is the text
// between two block tags with every tag left out, trimmed. With `emptyBlocks` a block tag
// with nothing before it gives "*nada*", so the list holds one entry per block tag;
// without, such places give nothing. Text after the last block tag is added untrimmed.
QList<QByteArray> splitblocks(QByteArrayView text, bool emptyBlocks);

// One flag per block of the new page, "1" where no block of the old page has the same
// text ("*nada*" is never changed), followed by three "0".
QByteArray markchanges(const QList<QByteArray> &oldBlocks, const QList<QByteArray> &newBlocks);

// Frames the blocks flagged changed: the block after the n-th block tag is framed when
// flags[n] is '1' (so the text before the first block tag never is). Consecutive changed
// blocks share one frame, except after an "li" tag. The scan ends at the first "</eof>";
// a frame still open there is closed before it (or at the end of a text without one).
QByteArray wrapchanges(const QByteArray &text, QByteArrayView flags, QByteArrayView colour,
                       MarkupSpans *spans = nullptr);

} // namespace pw::server
