// Link framing: line length bound, independence from how bytes arrive, and frameLine.
#include "fuzzcheck.h"

#include "store/linkframing.h"

#include <algorithm>

using pw::link::kMaxLine;
using pw::link::LineFramer;

namespace {

struct Framed
{
    QList<QByteArray> lines;
    qsizetype pending = 0;
};

Framed frame(QByteArrayView input, qsizetype cut)
{
    LineFramer framer;
    Framed out;
    out.lines = framer.feed(input.first(cut));
    out.lines += framer.feed(input.sliced(cut));
    out.pending = framer.pendingBytes();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose where the stream is split; the rest is the stream.
    const QByteArrayView input = fuzz::bytes(data + 2, size - 2);
    const qsizetype cut = qsizetype(data[0] | (data[1] << 8)) % (input.size() + 1);

    const Framed whole = frame(input, input.size());
    qsizetype total = 0;
    for (const QByteArray &line : whole.lines) {
        FUZZ_CHECK(line.size() <= kMaxLine);
        FUZZ_CHECK(!line.contains('\n'));
        total += line.size();
    }
    FUZZ_CHECK(whole.pending <= kMaxLine);
    FUZZ_CHECK(total + whole.pending <= input.size());

    // TCP may deliver the same bytes in any pieces; the lines must not depend on that.
    const Framed split = frame(input, cut);
    FUZZ_CHECK(split.lines == whole.lines);
    FUZZ_CHECK(split.pending == whole.pending);

    // Byte by byte is the most extreme split; keep it to small inputs for speed.
    if (input.size() <= 512) {
        LineFramer framer;
        QList<QByteArray> lines;
        for (qsizetype i = 0; i < input.size(); ++i)
            lines += framer.feed(input.sliced(i, 1));
        FUZZ_CHECK(lines == whole.lines);
        FUZZ_CHECK(framer.pendingBytes() == whole.pending);
    }

    // What one side frames, the other side receives as that one line: bounded, whole
    // characters, no line break inside.
    const QString text = QString::fromUtf8(input);
    const QByteArray wire = pw::link::frameLine(text);
    FUZZ_CHECK(wire.endsWith('\n') && wire.count('\n') == 1);
    const QByteArrayView body = QByteArrayView(wire).chopped(1);
    FUZZ_CHECK(body.size() <= kMaxLine);
    FUZZ_CHECK(!body.contains('\r'));
    FUZZ_CHECK(body.isValidUtf8());
    FUZZ_CHECK(text.toUtf8().replace('\r', ' ').replace('\n', ' ').startsWith(body));
    LineFramer receiver;
    const QList<QByteArray> received = receiver.feed(wire);
    FUZZ_CHECK(received.size() == 1 && received.first() == body);
    FUZZ_CHECK(receiver.pendingBytes() == 0);
    return 0;
}
