// Tree index reader: the shape it accepts, and writing an accepted tree back.
#include "fuzzcheck.h"

#include "store/treeindex.h"

using pw::TreeItem;
using pw::TreeRead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TreeRead read = pw::parseTreeIndex(fuzz::bytes(data, size));
    if (!read.ok) {
        // A failed read hands over nothing but its reason.
        FUZZ_CHECK(read.items.isEmpty());
        FUZZ_CHECK(read.error.startsWith(QStringLiteral("Invalid level (")));
        return 0;
    }
    FUZZ_CHECK(read.error.isEmpty());

    int previous = 0;
    for (qsizetype i = 0; i < read.items.size(); ++i) {
        const TreeItem &item = read.items[i];
        FUZZ_CHECK(item.depth >= 0);
        if (i == 0)
            FUZZ_CHECK(item.depth == 0);
        else
            FUZZ_CHECK(item.depth <= previous + 1);
        previous = item.depth;
        // The whole leading run of tabs and blanks is depth, so no text can start with one.
        // That is also what makes the round trip below hold for every accepted tree.
        FUZZ_CHECK(!item.text.startsWith(u'\t') && !item.text.startsWith(u' '));
        FUZZ_CHECK(!item.text.contains(u'\r') && !item.text.contains(u'\n'));
    }

    const QByteArray written = pw::formatTreeIndex(read.items);
    const TreeRead again = pw::parseTreeIndex(written);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.items == read.items);
    return 0;
}
