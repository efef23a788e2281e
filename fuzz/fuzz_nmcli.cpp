// nmcli output: terse records, active connection handles and the reading of a failed
// "connection up".
#include "fuzzcheck.h"

#include "store/nmcli.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = fuzz::bytes(data, size);
    // The first byte picks the field count and the exit status; the rest is nmcli's output.
    const int fields = size > 0 ? 1 + data[0] % 6 : 3;
    const int exitCode = size > 0 ? data[0] % 12 : 0;
    const QByteArrayView output = input.sliced(size > 0 ? 1 : 0);

    // Every record has the asked number of fields, and written back escaped it reads the same.
    const QList<QStringList> records = pw::nmcli::parseTerse(output, fields);
    QByteArray written;
    for (const QStringList &record : records) {
        FUZZ_CHECK(record.size() == fields);
        QStringList escaped;
        for (const QString &value : record)
            escaped.append(pw::nmcli::escapeTerse(value));
        written += escaped.join(u':').toUtf8() + '\n';
    }
    const QList<QStringList> again = pw::nmcli::parseTerse(written, fields);
    // A value holding a line break splits its record when written back; others survive.
    bool breaks = false;
    for (const QStringList &record : records) {
        for (const QString &value : record)
            breaks = breaks || value.contains(u'\n') || value.contains(u'\r');
    }
    if (!breaks)
        FUZZ_CHECK(again == records);

    // A handle is digits only, so it can go on a command line.
    for (const QStringList &record : records) {
        const QString handle = pw::nmcli::activeHandle(record.last());
        for (const QChar c : handle)
            FUZZ_CHECK(c >= u'0' && c <= u'9');
        FUZZ_CHECK(handle.size() <= 18);
    }

    // A failure is never taken for a connection and never carries a number but the two
    // that make the server dial again; its text is never empty.
    const pw::DialOutcome outcome = pw::nmcli::dialOutcome(exitCode, output);
    FUZZ_CHECK(outcome.connected == (exitCode == 0));
    if (!outcome.connected) {
        FUZZ_CHECK(outcome.errorNumber == 0 || outcome.errorNumber == pw::kLineBusyError
                   || outcome.errorNumber == pw::kNoAnswerError);
        FUZZ_CHECK(!outcome.errorText.isEmpty());
        FUZZ_CHECK(!outcome.errorText.contains(u'\n'));
    }
    return 0;
}
