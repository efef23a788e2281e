// The URL library's ".dta" reader: any bytes give a category name (never empty) and
// entries that all have an address, without failing or running long on a huge Count.
#include "fuzzcheck.h"

#include "client/core/urllibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytes(data, size).toByteArray();
    FUZZ_CHECK(!pw::client::urllibrary::parseCategoryName(input).isEmpty());
    const QList<pw::client::LibraryEntry> entries = pw::client::urllibrary::parseEntries(input);
    FUZZ_CHECK(qsizetype(entries.size()) <= qsizetype(size));
    for (const pw::client::LibraryEntry &entry : entries)
        FUZZ_CHECK(!entry.url.isEmpty() && !entry.title.isEmpty());
    return 0;
}
