// WebBox reader: both sides, how they relate, and writing what was read.
#include "fuzzcheck.h"

#include "store/webbox.h"

#include <algorithm>

using pw::ReaderSide;
using pw::WebBoxEntry;
using pw::WebBoxRead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = fuzz::bytes(data, size);
    const WebBoxRead client = pw::parseWebBox(input, ReaderSide::Client);
    const WebBoxRead server = pw::parseWebBox(input, ReaderSide::Server);

    FUZZ_CHECK(client.status == WebBoxRead::Ok && server.status == WebBoxRead::Ok);
    FUZZ_CHECK(!client.truncated); // the client only truncates at the record cap, far away here

    // A record is cut short only by the end of the text, so every marker after the first
    // cut-short one is cut short too: where the server stops, the client finds nothing
    // more. Both therefore keep the same records and see the same dead ones.
    FUZZ_CHECK(server.entries == client.entries);
    FUZZ_CHECK(server.deadRecords == client.deadRecords);

    for (const WebBoxEntry &entry : client.entries) {
        FUZZ_CHECK(entry.url != QStringLiteral("*") && entry.fileLocation != QStringLiteral("*"));
        for (const QString *value :
             {&entry.description, &entry.url, &entry.lastModified, &entry.size, &entry.fileLocation, &entry.dateTime})
            FUZZ_CHECK(!value->contains(u'\r') && !value->contains(u'\n'));
    }

    // The rewrite the client does: header, then every kept record.
    const QString listName = QString::fromUtf8(input.first(std::min<qsizetype>(input.size(), 40)));
    QByteArray written = pw::webBoxHeader(listName);
    for (const WebBoxEntry &entry : client.entries)
        written += pw::formatWebBoxRecord(entry);
    for (const ReaderSide side : {ReaderSide::Client, ReaderSide::Server}) {
        const WebBoxRead again = pw::parseWebBox(written, side);
        FUZZ_CHECK(again.status == WebBoxRead::Ok);
        FUZZ_CHECK(!again.truncated);
        FUZZ_CHECK(again.deadRecords == 0);
        FUZZ_CHECK(again.entries == client.entries);
    }
    return 0;
}
