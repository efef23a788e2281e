// Reports index reader: kept values are trimmed and whole, and survive a rewrite.
#include "fuzzcheck.h"

#include "store/reports.h"

using pw::ReportRecord;
using pw::ReportsIndexRead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReportsIndexRead read = pw::parseReportsIndex(fuzz::bytes(data, size));
    FUZZ_CHECK(read.status == ReportsIndexRead::Ok);
    FUZZ_CHECK(!read.truncated);

    QByteArray written;
    for (const ReportRecord &record : read.records) {
        for (const QString *value : {&record.dateTime, &record.listName, &record.fileLocation}) {
            FUZZ_CHECK(!value->isEmpty());
            FUZZ_CHECK(*value == value->trimmed());
            FUZZ_CHECK(!value->contains(u'\r') && !value->contains(u'\n'));
        }
        // The report file's name must stay one plain file name whatever the record holds.
        const QString name = pw::reportFileName(record.dateTime, record.listName);
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u' ') && !name.contains(u':'));
        written += pw::formatReportRecord(record);
    }

    // saveReportsIndex writes records this way; reading them back must give them all.
    const ReportsIndexRead again = pw::parseReportsIndex(written);
    FUZZ_CHECK(again.status == ReportsIndexRead::Ok && !again.truncated);
    FUZZ_CHECK(again.records == read.records);
    return 0;
}
