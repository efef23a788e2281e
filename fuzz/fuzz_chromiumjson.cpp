// The Chromium "Bookmarks" reader: any bytes give rows without failing; every row is a
// bookmark (the format has no separators) with a shortened title.
#include "fuzzcheck.h"

#include "client/core/chromiumbookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<pw::client::Bookmark> rows = pw::client::chromiumbookmarks::read(fuzz::bytes(data, size).toByteArray());
    for (const pw::client::Bookmark &row : rows) {
        FUZZ_CHECK(!row.separator);
        FUZZ_CHECK(row.title.size() < 46);
    }
    return 0;
}
