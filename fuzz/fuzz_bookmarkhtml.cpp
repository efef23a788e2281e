// The exported-bookmark-file reader: any bytes give rows without failing, separators
// carry no address, and every title fits the shortened form.
#include "fuzzcheck.h"

#include "client/core/bookmarkfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<pw::client::Bookmark> rows = pw::client::readBookmarkFile(fuzz::bytes(data, size).toByteArray());
    for (const pw::client::Bookmark &row : rows) {
        FUZZ_CHECK(!row.separator || row.url.isEmpty());
        FUZZ_CHECK(row.title.size() < 46);
    }
    return 0;
}
