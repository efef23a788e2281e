// URL List reader: both sides, how they relate, and writing what was read.
#include "fuzzcheck.h"

#include "store/urllist.h"

#include <algorithm>

using pw::ReaderSide;
using pw::UrlEntry;
using pw::UrlListRead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = fuzz::bytes(data, size);
    const UrlListRead client = pw::parseUrlList(input, ReaderSide::Client);
    const UrlListRead server = pw::parseUrlList(input, ReaderSide::Server);

    // The client passes over every kind of damage.
    FUZZ_CHECK(client.status == UrlListRead::Ok);
    FUZZ_CHECK(server.status == UrlListRead::Ok || server.status == UrlListRead::DeadRecord);
    FUZZ_CHECK(!client.truncated && !server.truncated); // inputs stay far below the record cap

    // Both scan the same way; the server only stops early, at the first dead record.
    FUZZ_CHECK(server.entries.size() <= client.entries.size());
    FUZZ_CHECK(std::equal(server.entries.cbegin(), server.entries.cend(), client.entries.cbegin()));
    if (server.status == UrlListRead::Ok)
        FUZZ_CHECK(server.entries == client.entries);

    for (const UrlEntry &entry : client.entries) {
        FUZZ_CHECK(entry[UrlEntry::Url] != QStringLiteral("*"));
        for (const QString &value : entry.values)
            FUZZ_CHECK(!value.contains(u'\r') && !value.contains(u'\n'));
    }

    // What a reader kept, written out and read again, is the same list on both sides.
    const QString listName = QString::fromUtf8(input.first(std::min<qsizetype>(input.size(), 40)));
    const QByteArray written = pw::formatUrlList(listName, client.entries);
    const UrlListRead again = pw::parseUrlList(written, ReaderSide::Client);
    FUZZ_CHECK(again.status == UrlListRead::Ok);
    FUZZ_CHECK(again.entries == client.entries);
    const UrlListRead againServer = pw::parseUrlList(written, ReaderSide::Server);
    FUZZ_CHECK(againServer.status == UrlListRead::Ok);
    FUZZ_CHECK(againServer.entries == client.entries);
    return 0;
}
