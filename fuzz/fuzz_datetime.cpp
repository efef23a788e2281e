// Date-and-time text: whatever the reader accepts, the writer's forms give back.
#include "fuzzcheck.h"

#include "store/datetimetext.h"

#include <QDateTime>

namespace dt = pw::datetime;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Real date texts are short; long inputs only slow the parser down.
    if (size > 256)
        return 0;
    const QString text = fuzz::text(data, size);
    const QDateTime when = dt::parse(text);

    // The reader trims: blanks around the text change nothing.
    const QDateTime padded = dt::parse(QString(QStringLiteral(" \t") + text + QStringLiteral("  ")));
    FUZZ_CHECK(padded.isValid() == when.isValid());
    if (!when.isValid())
        return 0;
    FUZZ_CHECK(padded == when);

    // No form carries fractions of a second.
    FUZZ_CHECK(when.time().msec() == 0);

    // Any reader parses what any writer wrote: the full form gives back the same moment,
    // the minute form the same minute.
    const QString full = dt::fullText(when);
    const QDateTime back = dt::parse(full);
    FUZZ_CHECK(back.isValid());
    FUZZ_CHECK(back == when);
    FUZZ_CHECK(dt::fullText(back) == full);

    const QString minute = dt::minuteText(when);
    const QDateTime minuteBack = dt::parse(minute);
    FUZZ_CHECK(minuteBack.isValid());
    FUZZ_CHECK(minuteBack.time().second() == 0);
    FUZZ_CHECK(dt::minuteText(minuteBack) == minute);
    FUZZ_CHECK(minuteBack.date() == when.date());
    return 0;
}
