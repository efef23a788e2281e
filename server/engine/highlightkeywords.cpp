#include "highlightkeywords.h"

#include "highlightscan.h"

#include <QChar>

#include <array>
#include <cstring>
#include <string>

namespace pw::server {

namespace {

constexpr QByteArrayView kNbsp = "&nbsp;";

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
}

// One UTF-8 character at `p`: its length, or 0 when the bytes there start none.
int decodeUtf8(const char *p, qsizetype available, char32_t *out)
{
    const auto b0 = static_cast<unsigned char>(p[0]);
    if (b0 < 0x80) {
        *out = b0;
        return 1;
    }
    int length = 0;
    char32_t c = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(p[k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    *out = c;
    return length;
}

char32_t foldCase(char32_t c)
{
    return c < 0x80 ? char32_t(asciiLower(char(c))) : QChar::toCaseFolded(c);
}

// For each ASCII character, the lead bytes of the other characters that fold to it (the
// Kelvin sign to "k", the long s to "s"): where else a match of a keyword can begin.
using LeadBytes = std::array<std::array<bool, 256>, 128>;

const LeadBytes &asciiFoldSources()
{
    static const LeadBytes sources = [] {
        LeadBytes table{};
        for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded >= 0x80)
                continue;
            const unsigned lead = c < 0x800 ? 0xC0 | (c >> 6) : c < 0x10000 ? 0xE0 | (c >> 12) : 0xF0 | (c >> 18);
            table[folded][lead] = true;
        }
        return table;
    }();
    return sources;
}

// Compares a keyword with the text at a place, case folded as asked.
class Matcher
{
public:
    Matcher(QByteArrayView keyword, CaseFolding folding)
        : m_folding(folding)
    {
        if (m_folding == CaseFolding::Unicode && !keyword.isValidUtf8())
            m_folding = CaseFolding::Ascii;
        switch (m_folding) {
        case CaseFolding::None:
            m_bytes = keyword.toByteArray();
            m_first.add(keyword.front());
            break;
        case CaseFolding::Ascii:
            m_bytes = keyword.toByteArray();
            for (char &c : m_bytes)
                c = asciiLower(c);
            m_first.add(m_bytes.front());
            m_first.add(asciiUpper(m_bytes.front()));
            break;
        case CaseFolding::Unicode: {
            for (qsizetype i = 0; i < keyword.size();) {
                char32_t c = 0;
                const int length = decodeUtf8(keyword.data() + i, keyword.size() - i, &c);
                m_folded.push_back(foldCase(c));
                i += length > 0 ? length : 1; // cannot be 0: the keyword is valid UTF-8
            }
            const char32_t first = m_folded.front();
            if (first < 0x80) {
                m_first.add(char(first));
                m_first.add(asciiUpper(char(first)));
                const auto &leads = asciiFoldSources()[first];
                for (int b = 0xC0; b < 256; ++b) {
                    if (leads[b])
                        m_first.add(char(b));
                }
            } else {
                m_first.addLeadBytes();
            }
            break;
        }
        }
    }

    // Bytes where a match can begin.
    const ByteSet &firstBytes() const { return m_first; }
    CaseFolding folding() const { return m_folding; }

    // The length in the text of a match at `at`, or -1.
    qsizetype matchAt(const char *data, qsizetype size, qsizetype at) const
    {
        switch (m_folding) {
        case CaseFolding::None:
            if (at + m_bytes.size() > size || std::memcmp(data + at, m_bytes.constData(), size_t(m_bytes.size())))
                return -1;
            return m_bytes.size();
        case CaseFolding::Ascii:
            if (at + m_bytes.size() > size)
                return -1;
            for (qsizetype k = 0; k < m_bytes.size(); ++k) {
                if (asciiLower(data[at + k]) != m_bytes[k])
                    return -1;
            }
            return m_bytes.size();
        case CaseFolding::Unicode: {
            qsizetype p = at;
            for (char32_t wanted : m_folded) {
                if (p >= size)
                    return -1;
                char32_t c = 0;
                const int length = decodeUtf8(data + p, size - p, &c);
                if (length == 0 || foldCase(c) != wanted)
                    return -1;
                p += length;
            }
            return p - at;
        }
        }
        return -1;
    }

private:
    CaseFolding m_folding;
    QByteArray m_bytes;      // None, Ascii (lower-cased)
    std::u32string m_folded; // Unicode
    ByteSet m_first;
};

bool nbspAt(const char *data, qsizetype size, qsizetype at, CaseFolding folding)
{
    if (at + kNbsp.size() > size)
        return false;
    for (qsizetype k = 0; k < kNbsp.size(); ++k) {
        const char c = folding == CaseFolding::None ? data[at + k] : asciiLower(data[at + k]);
        if (c != kNbsp[k])
            return false;
    }
    return true;
}

QByteArray scanKeyword(const QByteArray &text, QByteArrayView keyword, bool wholeWord, CaseFolding folding,
                       QByteArrayView colour, MarkupSpans *spans, QByteArray *spare)
{
    if (keyword.isEmpty() || keyword.contains('<'))
        return text;
    const Matcher matcher(keyword, folding);
    const QByteArray start = keywordStart(colour);
    const char *data = text.constData();
    const qsizetype size = text.size();
    // The scan stops on reaching the last byte: no match begins there.
    const qsizetype last = size - 1;
    MarkedText out(text, spans, spare);
    const auto mark = [&](qsizetype from, qsizetype length) {
        out.insert(from, start);
        out.insert(from + length, kKeywordEnd);
    };

    ByteSet brackets;
    brackets.add('<');
    brackets.add('>');
    const ByteFinder tagBytes(brackets);
    const ByteFinder firstBytes(matcher.firstBytes());
    // Whole words: a delimiter followed by what can begin the keyword, or "&" by "n".
    ByteSet delimiters;
    delimiters.add(' ');
    delimiters.add('>');
    ByteSet ampersand;
    ampersand.add('&');
    ByteSet letterN;
    letterN.add('n');
    letterN.add('N');
    const PairFinder wordStarts(delimiters, matcher.firstBytes(), ampersand, letterN);

    // The scan reads every byte from the start, or from where it resumed after a match,
    // and only a place where a match can begin needs a look. Whether that place lies
    // inside a tag is told by the last "<" or ">" read before it.
    qsizetype pos = 0;   // where the next match can begin at the earliest
    qsizetype known = 0; // the tag state is known for the bytes before this
    bool inTag = false;
    while (pos < last) {
        const qsizetype p = wholeWord ? wordStarts.find(data, pos, last) : firstBytes.find(data, pos, last);
        if (p < 0)
            break;
        const qsizetype bracket = tagBytes.findLast(data, known, p + 1);
        if (bracket >= 0)
            inTag = data[bracket] == '<';
        known = p + 1;
        pos = p + 1;
        if (inTag)
            continue;

        qsizetype resume = -1;
        if (!wholeWord) {
            const qsizetype length = matcher.matchAt(data, size, p);
            if (length >= 0) {
                mark(p, length);
                resume = p + length;
            }
        } else if (data[p] == ' ' || data[p] == '>') {
            const qsizetype length = matcher.matchAt(data, size, p + 1);
            const qsizetype after = p + 1 + length;
            if (length >= 0 && after < size && (data[after] == ' ' || data[after] == '<')) {
                mark(p + 1, length);
                resume = after + 2;
            }
        } else if (nbspAt(data, size, p, matcher.folding())) {
            const qsizetype length = matcher.matchAt(data, size, p + kNbsp.size());
            const qsizetype after = p + kNbsp.size() + length;
            if (length >= 0 && after < size && data[after] == ' ') {
                mark(p + kNbsp.size(), length);
                resume = after + 7;
            }
        }
        if (resume >= 0) {
            // The bytes skipped are not read: not even a "<" among them opens a tag.
            pos = known = resume;
            inTag = false;
        }
    }
    return out.finish();
}

} // namespace

QList<QByteArray> keywordlist(QByteArrayView text)
{
    QList<QByteArray> keywords;
    const auto addTrimmed = [&keywords](const QByteArray &word) {
        const QByteArrayView trimmed = QByteArrayView(word).trimmed();
        if (!trimmed.isEmpty())
            keywords.append(trimmed.toByteArray());
    };
    bool phrase = false;
    QByteArray word;
    for (const char c : text.trimmed()) {
        if (c == '"') {
            if (phrase)
                keywords.append(word);
            phrase = !phrase;
            word.clear();
        } else if (c == ' ' && !phrase) {
            addTrimmed(word);
            word.clear();
        } else {
            word.append(c);
        }
    }
    addTrimmed(word);
    return keywords;
}

QByteArray keywordBytes(const QString &keywords, QByteArrayView page)
{
    if (page.isValidUtf8())
        return keywords.toUtf8();
    for (const QChar c : keywords) {
        if (c.unicode() > 0xFF)
            return keywords.toUtf8();
    }
    return keywords.toLatin1();
}

CaseFolding caseFoldingFor(QByteArrayView text, bool matchCase)
{
    if (matchCase)
        return CaseFolding::None;
    return text.isValidUtf8() ? CaseFolding::Unicode : CaseFolding::Ascii;
}

QByteArray markkeywords(const QByteArray &text, const QList<QByteArray> &keywords, bool wholeWord, bool matchCase,
                        QByteArrayView colour)
{
    if (keywords.isEmpty())
        return text;
    // Decided once for the page: markup put in by one keyword never changes it.
    const CaseFolding folding = caseFoldingFor(text, matchCase);
    QByteArray marked = text;
    QByteArray spare; // the text before the last scan: its memory takes the next result
    for (const QByteArray &keyword : keywords) {
        QByteArray next = scanKeyword(marked, keyword, wholeWord, folding, colour, nullptr, &spare);
        if (!next.isSharedWith(marked)) {
            spare = std::move(marked);
            marked = std::move(next);
        }
    }
    return marked;
}

QByteArray markKeyword(const QByteArray &text, QByteArrayView keyword, bool wholeWord, CaseFolding folding,
                       QByteArrayView colour, MarkupSpans *spans)
{
    return scanKeyword(text, keyword, wholeWord, folding, colour, spans, nullptr);
}

} // namespace pw::server
