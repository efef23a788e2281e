// Link extraction: any page text in either mode, on page addresses of many forms. On
// small pages the result must be the one the plain step-by-step version gives; on all
// pages every address added is absolute with a host, passes checkbadchars, and is listed
// once without regard to case, and entries already in the list stay as they were.
//
// The first byte chooses: bit 0 frame mode, bit 1 a page built from markup pieces (one
// piece per byte, so the fuzzer reaches the keywords and address forms quickly) instead
// of raw text, bit 2 a list that already holds two addresses, bit 7 the page address
// taken from the first line instead of bits 3-5 choosing one of eight.
#include "fuzzcheck.h"

#include "client/core/pageparsing.h"
#include "client/pageparsingreference.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// The plain version copies the rest of the page on every pass; beyond this it is too slow
// to run on every input.
constexpr qsizetype kReferenceLimit = 4096;
// Pairs of addresses compared directly for the listed-once check.
constexpr qsizetype kPairLimit = 256;

QString pieces(const uint8_t *data, size_t size)
{
    const QStringList &all = reference::pagePieces();
    const size_t count = size_t(all.size());
    QString text;
    for (size_t i = 0; i < size; ++i)
        text += all[qsizetype(data[i] % count)];
    return text;
}

bool absoluteWithHost(const QString &address)
{
    const QString head = address.left(8).toLower();
    qsizetype start = 0;
    if (head.startsWith(u"http://"_s))
        start = 7;
    else if (head == u"https://"_s)
        start = 8;
    else
        return false;
    return start < address.size() && address[start] != u'/';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    const bool frameMode = flags & 1;
    const QString text = (flags & 2) ? pieces(data + 1, size - 1) : fuzz::text(data + 1, size - 1);

    // Lines as a fetch gives them: split where a CR was, a LF stays inside its line.
    QStringList lines;
    if (size > 1)
        lines = text.split(u'\r');
    QString pageUrl = reference::pageUrls()[((flags >> 3) & 7) % reference::pageUrls().size()];
    if ((flags & 0x80) && !lines.isEmpty())
        pageUrl = lines.takeFirst();

    QStringList initial;
    if (flags & 4)
        initial = QStringList{u"HTTP://WWW.EXAMPLE.COM/DOCS/GUIDE/PAGE.HTM"_s, u"https://secure.example.com/"_s};

    QStringList fast = initial;
    const bool ok = pw::client::PageParsing(lines, fast, frameMode, pageUrl);
    FUZZ_CHECK(ok == !lines.isEmpty());
    FUZZ_CHECK(fast.first(initial.size()) == initial);
    for (qsizetype i = initial.size(); i < fast.size(); ++i) {
        FUZZ_CHECK(!pw::client::checkbadchars(fast[i]));
        FUZZ_CHECK(absoluteWithHost(fast[i]));
    }
    if (fast.size() <= kPairLimit) {
        for (qsizetype i = initial.size(); i < fast.size(); ++i) {
            for (qsizetype j = 0; j < i; ++j)
                FUZZ_CHECK(fast[i].compare(fast[j], Qt::CaseInsensitive) != 0);
        }
    }

    if (text.size() <= kReferenceLimit) {
        QStringList plain = initial;
        FUZZ_CHECK(reference::PageParsing(lines, plain, frameMode, pageUrl) == ok);
        FUZZ_CHECK(fast == plain);
    }
    return 0;
}
