// Line splitting: page bodies (CR ends a line, NUL cuts it) and data files (CR LF, CR, LF).
#include "fuzzcheck.h"

#include "store/textlines.h"

namespace {

void checkBodyLines(QByteArrayView input)
{
    const QList<QByteArray> lines = pw::splitBodyLines(input);
    qsizetype total = 0;
    for (const QByteArray &line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\0'));
        total += line.size();
    }
    FUZZ_CHECK(total <= input.size());
    FUZZ_CHECK(input.isEmpty() == lines.isEmpty());
    // One line per CR (a following LF goes with it), plus the text after the last CR.
    const qsizetype crs = input.count('\r');
    FUZZ_CHECK(lines.size() == crs + (input.endsWith('\r') || input.endsWith("\r\n") ? 0 : 1) || input.isEmpty());

    // Lines written with CR LF come back unchanged.
    FUZZ_CHECK(pw::splitBodyLines(pw::joinCrLf(lines)) == lines);

    // A body without NUL whose every CR starts a CR LF and that ends with one is rebuilt
    // exactly from its lines.
    bool plain = !input.contains('\0') && (input.isEmpty() || input.endsWith("\r\n"));
    for (qsizetype i = 0; plain && i < input.size(); ++i) {
        if (input[i] == '\r' && (i + 1 >= input.size() || input[i + 1] != '\n'))
            plain = false;
    }
    if (plain)
        FUZZ_CHECK(pw::joinCrLf(lines) == input);
}

void checkFileLines(QByteArrayView input)
{
    const QList<QByteArray> lines = pw::splitLines(input);
    qsizetype total = 0;
    for (const QByteArray &line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        total += line.size();
    }
    // Every line but possibly the last used up at least one line-end byte.
    FUZZ_CHECK(total + lines.size() - 1 <= input.size() || lines.isEmpty());
    FUZZ_CHECK(input.isEmpty() == lines.isEmpty());
    FUZZ_CHECK(pw::splitLines(pw::joinCrLf(lines)) == lines);

    // LineReader is what splitLines is built on; walking it by hand must agree.
    pw::LineReader reader(input);
    qsizetype i = 0;
    while (!reader.atEnd()) {
        FUZZ_CHECK(i < lines.size());
        FUZZ_CHECK(reader.next() == lines[i]);
        ++i;
    }
    FUZZ_CHECK(i == lines.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = fuzz::bytes(data, size);
    checkBodyLines(input);
    checkFileLines(input);
    return 0;
}
