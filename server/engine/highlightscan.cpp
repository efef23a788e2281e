#include "highlightscan.h"

namespace pw::server {

void ByteSet::add(char byte)
{
    const auto value = static_cast<std::uint8_t>(byte);
    if (m_table[value])
        return;
    if (m_count == kMaxValues) {
        // Only lead bytes ever overflow a set; taking all of them is a superset.
        Q_ASSERT(value >= 0xC0);
        m_leadBytes = true;
        return;
    }
    m_table[value] = true;
    m_values[m_count++] = value;
}

#if defined(__SSE2__)
ByteLanes::ByteLanes(const ByteSet &set)
    : m_leadFloor(_mm_set1_epi8(static_cast<char>(0xC0)))
    , m_count(set.count())
    , m_leadBytes(set.leadBytes())
{
    for (int k = 0; k < m_count; ++k)
        m_values[k] = _mm_set1_epi8(static_cast<char>(set.values()[k]));
}

namespace {

__m128i load(const char *at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

} // namespace
#endif

ByteFinder::ByteFinder(const ByteSet &set)
    : m_set(set)
#if defined(__SSE2__)
    , m_lanes(set)
#endif
{
}

qsizetype ByteFinder::find(const char *data, qsizetype from, qsizetype to) const
{
    qsizetype i = from;
#if defined(__SSE2__)
    for (; i + 16 <= to; i += 16) {
        const int mask = _mm_movemask_epi8(m_lanes.match(load(data + i)));
        if (mask)
            return i + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; i < to; ++i) {
        if (m_set.contains(data[i]))
            return i;
    }
    return -1;
}

qsizetype ByteFinder::findLast(const char *data, qsizetype from, qsizetype to) const
{
    qsizetype i = to;
#if defined(__SSE2__)
    for (; i - 16 >= from; i -= 16) {
        const int mask = _mm_movemask_epi8(m_lanes.match(load(data + i - 16)));
        if (mask)
            return i - 16 + (31 - __builtin_clz(static_cast<unsigned>(mask)));
    }
#endif
    for (--i; i >= from; --i) {
        if (m_set.contains(data[i]))
            return i;
    }
    return -1;
}

PairFinder::PairFinder(const ByteSet &first, const ByteSet &second, const ByteSet &otherFirst,
                       const ByteSet &otherSecond)
    : m_first(first)
    , m_second(second)
    , m_otherFirst(otherFirst)
    , m_otherSecond(otherSecond)
#if defined(__SSE2__)
    , m_firstLanes(first)
    , m_secondLanes(second)
    , m_otherFirstLanes(otherFirst)
    , m_otherSecondLanes(otherSecond)
#endif
{
}

qsizetype PairFinder::find(const char *data, qsizetype from, qsizetype to) const
{
    qsizetype i = from;
#if defined(__SSE2__)
    // The second load reaches data[i + 16], which is at most data[to].
    for (; i + 16 <= to; i += 16) {
        const __m128i v0 = load(data + i);
        const __m128i v1 = load(data + i + 1);
        const __m128i pairs = _mm_or_si128(_mm_and_si128(m_firstLanes.match(v0), m_secondLanes.match(v1)),
                                           _mm_and_si128(m_otherFirstLanes.match(v0), m_otherSecondLanes.match(v1)));
        const int mask = _mm_movemask_epi8(pairs);
        if (mask)
            return i + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; i < to; ++i) {
        if (startsPair(data + i))
            return i;
    }
    return -1;
}

} // namespace pw::server
