// Action log reader: how lines split into date and message, and writing the log back.
#include "fuzzcheck.h"

#include "store/actionlog.h"
#include "store/textlines.h"

using pw::LogEntry;
using pw::LogRead;

namespace {

bool hasMarker(const QString &line)
{
    return line.contains(QStringLiteral(" PM ")) || line.contains(QStringLiteral(" AM "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = fuzz::bytes(data, size);
    const LogRead read = pw::parseLog(input);
    FUZZ_CHECK(read.status == LogRead::Ok && !read.truncated);

    // Every line is either an entry or counted as skipped, and the split is lossless.
    const QList<QByteArray> lines = pw::splitLines(input);
    FUZZ_CHECK(read.entries.size() + read.skippedLines == lines.size());
    qsizetype next = 0;
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw);
        const std::optional<LogEntry> entry = pw::parseLogLine(line);
        FUZZ_CHECK(entry.has_value() == hasMarker(line));
        if (!entry)
            continue;
        FUZZ_CHECK(next < read.entries.size() && read.entries[next] == *entry);
        ++next;
        FUZZ_CHECK(entry->dateTime.endsWith(QStringLiteral(" PM")) || entry->dateTime.endsWith(QStringLiteral(" AM")));
        FUZZ_CHECK(QString(entry->dateTime + u' ' + entry->message) == line);
        // " PM " wins over an earlier " AM ".
        if (line.contains(QStringLiteral(" PM ")))
            FUZZ_CHECK(entry->dateTime.size() == line.indexOf(QStringLiteral(" PM ")) + 3);
    }
    FUZZ_CHECK(next == read.entries.size());

    // saveLog's writing: one formatted line per entry, CR LF; read back, the same entries.
    QByteArray written;
    for (const LogEntry &entry : read.entries)
        written += pw::formatLogLine(entry).toUtf8() + "\r\n";
    const LogRead again = pw::parseLog(written);
    FUZZ_CHECK(again.entries == read.entries);
    FUZZ_CHECK(again.skippedLines == 0);

    // A message with line breaks is written on one line, and still reads as one entry.
    if (!read.entries.isEmpty()) {
        LogEntry broken = read.entries.first();
        broken.message += QStringLiteral("\r\nnext\rline\n");
        const QString one = pw::formatLogLine(broken);
        FUZZ_CHECK(!one.contains(u'\r') && !one.contains(u'\n'));
        const LogRead single = pw::parseLog(one.toUtf8());
        FUZZ_CHECK(single.entries.size() == 1 && single.skippedLines == 0);
    }
    return 0;
}
