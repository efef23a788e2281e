// Change and keyword highlighting over (old page, new page, keyword text): the marked page,
// with the inserted frame and keyword markup taken out, is the new page's joined text with
// its end marker; frames open and close in turn; and the appending scans give the bytes of
// the plain in-place ones.
//
// Input: one byte of options (bit 0 whole word, bit 1 match case), then the old page, the
// new page and the keyword text, separated by NUL bytes (fetched pages hold none).
#include "fuzzcheck.h"

#include "server/highlightreference.h"

#include "server/engine/highlightchanges.h"
#include "server/engine/highlightjoin.h"
#include "server/engine/highlightkeywords.h"
#include "server/engine/highlightmarkup.h"
#include "store/textlines.h"

#include <vector>

using namespace pw::server;

namespace {

const QByteArray kColour = "#FFFF00";
const QByteArray kKeyColour = "#FF0000";

// The plain scans move the rest of the text at every insertion; keep them to inputs where
// that stays quick.
constexpr qsizetype kReferenceLimit = 8192;

bool asciiOnly(QByteArrayView text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Checks that `marked` is `source` with the markup of `spans` put in, that every span holds
// `open` or `close` in turn, and carries the "inserted" mark of every byte along.
std::vector<bool> checkInsertions(const QByteArray &source, const std::vector<bool> &sourceInserted,
                                  const QByteArray &marked, const MarkupSpans &spans, const QByteArray &open,
                                  QByteArrayView close)
{
    std::vector<bool> inserted;
    inserted.reserve(size_t(marked.size()));
    qsizetype at = 0;   // in marked
    qsizetype from = 0; // in source
    bool isOpen = false;
    for (const MarkupSpan &span : spans) {
        FUZZ_CHECK(span.offset >= at && span.offset + span.length <= marked.size());
        const qsizetype copied = span.offset - at;
        FUZZ_CHECK(QByteArrayView(marked).sliced(at, copied) == QByteArrayView(source).sliced(from, copied));
        for (qsizetype k = 0; k < copied; ++k)
            inserted.push_back(sourceInserted[size_t(from + k)]);
        const QByteArrayView markup = QByteArrayView(marked).sliced(span.offset, span.length);
        FUZZ_CHECK(markup == (isOpen ? close : QByteArrayView(open)));
        isOpen = !isOpen;
        inserted.insert(inserted.end(), size_t(span.length), true);
        at = span.offset + span.length;
        from += copied;
    }
    FUZZ_CHECK(!isOpen); // every frame and keyword is closed
    FUZZ_CHECK(QByteArrayView(marked).sliced(at) == QByteArrayView(source).sliced(from));
    for (qsizetype k = from; k < source.size(); ++k)
        inserted.push_back(sourceInserted[size_t(k)]);
    FUZZ_CHECK(qsizetype(inserted.size()) == marked.size());
    return inserted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool wholeWord = data[0] & 1;
    const bool matchCase = data[0] & 2;
    const QList<QByteArray> parts = fuzz::bytes(data + 1, size - 1).toByteArray().split('\0');
    const QByteArray oldPage = parts.value(0);
    const QByteArray newPage = parts.value(1);
    const QByteArray keywordText = parts.value(2);

    // The change pass, as the page files come back from readlines.
    const QByteArray oldText = joinLines(pw::splitLines(oldPage));
    const QByteArray newText = joinPageLines(pw::splitLines(newPage));
    FUZZ_CHECK(newText.endsWith(kEndMarker));
    const QList<QByteArray> newBlocks = splitblocks(newText, true);
    const QByteArray flags = markchanges(splitblocks(oldText, false), newBlocks);
    FUZZ_CHECK(flags.size() == newBlocks.size() + 3 && flags.endsWith("000"));
    FUZZ_CHECK(flags.count('0') + flags.count('1') == flags.size());

    MarkupSpans frameSpans;
    const QByteArray framed = wrapchanges(newText, flags, kColour, &frameSpans);
    std::vector<bool> inserted = checkInsertions(newText, std::vector<bool>(size_t(newText.size()), false), framed,
                                                 frameSpans, frameStart(kColour), kFrameEnd);

    // A page compared with itself has nothing to frame.
    const QByteArray selfFlags = markchanges(splitblocks(newText, false), newBlocks);
    FUZZ_CHECK(!selfFlags.contains('1'));
    FUZZ_CHECK(wrapchanges(newText, selfFlags, kColour) == newText);

    // The keyword pass, one keyword's scan at a time.
    const QList<QByteArray> keywords = keywordlist(keywordText);
    const CaseFolding folding = caseFoldingFor(framed, matchCase);
    QByteArray marked = framed;
    for (const QByteArray &keyword : keywords) {
        MarkupSpans spans;
        const QByteArray next = markKeyword(marked, keyword, wholeWord, folding, kKeyColour, &spans);
        inserted = checkInsertions(marked, inserted, next, spans, keywordStart(kKeyColour), kKeywordEnd);
        marked = next;
    }
    FUZZ_CHECK(markkeywords(framed, keywords, wholeWord, matchCase, kKeyColour) == marked);

    // The property itself: taking out every inserted byte leaves the joined new page.
    QByteArray unmarked;
    unmarked.reserve(newText.size());
    for (qsizetype k = 0; k < marked.size(); ++k) {
        if (!inserted[size_t(k)])
            unmarked.append(marked[k]);
    }
    FUZZ_CHECK(unmarked == newText);

    // Byte for byte what the in-place scans give (their case folding is ASCII only).
    if (newText.size() <= kReferenceLimit && marked.size() <= 4 * kReferenceLimit) {
        FUZZ_CHECK(reference::wrapchanges(newText, flags, kColour) == framed);
        FUZZ_CHECK(reference::splitblocks(oldText, false) == splitblocks(oldText, false));
        FUZZ_CHECK(reference::splitblocks(newText, true) == newBlocks);
        if (matchCase || folding == CaseFolding::Ascii || (asciiOnly(framed) && asciiOnly(keywordText)))
            FUZZ_CHECK(reference::markkeywords(framed, keywords, wholeWord, matchCase, kKeyColour) == marked);
    }
    return 0;
}
