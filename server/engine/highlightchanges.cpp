#include "highlightchanges.h"

#include "highlightscan.h"
#include "highlighttags.h"

#include <QSet>

namespace pw::server {

namespace {

const QByteArray kNothing = QByteArrayLiteral("*nada*");

ByteFinder angleBrackets()
{
    ByteSet set;
    set.add('<');
    set.add('>');
    return ByteFinder(set);
}

} // namespace

QList<QByteArray> splitblocks(QByteArrayView text, bool emptyBlocks)
{
    QList<QByteArray> blocks;
    const ByteFinder angles = angleBrackets();
    const char *data = text.data();
    const qsizetype size = text.size();
    TagReader tags;
    QByteArray block;
    qsizetype i = 0;
    while (i < size) {
        const qsizetype hit = angles.find(data, i, size);
        const qsizetype runEnd = hit < 0 ? size : hit;
        if (runEnd > i) {
            if (tags.inTag())
                tags.addToTag(text.sliced(i, runEnd - i));
            else if (!tags.inComment())
                block.append(text.sliced(i, runEnd - i));
        }
        if (hit < 0)
            break;
        if (data[hit] == '<') {
            tags.open(hit);
        } else {
            tags.close();
            if (tags.classify(data, hit) == TagReader::Kind::Block) {
                if (!block.isEmpty())
                    blocks.append(QByteArrayView(block).trimmed().toByteArray());
                else if (emptyBlocks)
                    blocks.append(kNothing);
                block.resize(0);
            }
        }
        i = hit + 1;
    }
    if (!block.isEmpty())
        blocks.append(block);
    return blocks;
}

QByteArray markchanges(const QList<QByteArray> &oldBlocks, const QList<QByteArray> &newBlocks)
{
    QSet<QByteArray> known;
    known.reserve(oldBlocks.size());
    for (const QByteArray &block : oldBlocks)
        known.insert(block);
    QByteArray flags;
    flags.reserve(newBlocks.size() + 3);
    for (const QByteArray &block : newBlocks)
        flags.append(block == kNothing || known.contains(block) ? '0' : '1');
    flags.append("000");
    return flags;
}

QByteArray wrapchanges(const QByteArray &text, QByteArrayView flags, QByteArrayView colour, MarkupSpans *spans)
{
    const auto changed = [&flags](qsizetype index) { return index < flags.size() && flags[index] == '1'; };
    const QByteArray start = frameStart(colour);
    const ByteFinder angles = angleBrackets();
    const char *data = text.data();
    const qsizetype size = text.size();
    MarkedText out(text, spans);
    TagReader tags;
    bool tableOpen = false;
    bool merge = false;
    qsizetype flag = 1; // the text before the first block tag is never framed
    qsizetype i = 0;
    while (i < size) {
        const qsizetype hit = angles.find(data, i, size);
        if (hit < 0)
            break;
        if (tags.inTag() && hit > i)
            tags.addToTag(text.sliced(i, hit - i));
        i = hit + 1;
        if (data[hit] == '<') {
            tags.open(hit);
            continue;
        }
        const QByteArrayView tag = tags.close();
        if (tag == "/eof") {
            if (tableOpen) {
                // Closed here, so the page stays well-formed.
                out.insert(tags.tagStart(), kFrameEnd);
                tableOpen = false;
            }
            break;
        }
        if (tags.classify(data, hit) != TagReader::Kind::Block)
            continue;
        if (tableOpen && !merge) {
            out.insert(tags.tagStart(), kFrameEnd);
            tableOpen = false;
        }
        if (changed(flag) && !merge) {
            out.insert(hit + 1, start);
            tableOpen = true;
            merge = changed(flag + 1) && tag != "li";
        }
        ++flag;
        if (!changed(flag))
            merge = false;
    }
    if (tableOpen)
        out.insert(size, kFrameEnd);
    return out.finish();
}

} // namespace pw::server
