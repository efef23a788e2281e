#pragma once

#include <QtGlobal>

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pw::server {

// A small set of byte values to look for: a few exact values, optionally every byte from
// 0xC0 up (the lead bytes of multi-byte UTF-8 characters).
class ByteSet
{
public:
    // How many exact values a set holds; lead bytes beyond that widen it to all of them.
    static constexpr int kMaxValues = 8;

    void add(char byte);
    void addLeadBytes() { m_leadBytes = true; }
    bool contains(char byte) const
    {
        return m_table[static_cast<std::uint8_t>(byte)] || (m_leadBytes && static_cast<std::uint8_t>(byte) >= 0xC0);
    }
    bool isEmpty() const { return m_count == 0 && !m_leadBytes; }
    const std::array<std::uint8_t, kMaxValues> &values() const { return m_values; }
    int count() const { return m_count; }
    bool leadBytes() const { return m_leadBytes; }

private:
    std::array<bool, 256> m_table{};
    std::array<std::uint8_t, kMaxValues> m_values{};
    int m_count = 0;
    bool m_leadBytes = false;
};

#if defined(__SSE2__)
// A set spread over the lanes of a vector, so sixteen bytes are tested at once.
class ByteLanes
{
public:
    explicit ByteLanes(const ByteSet &set);
    __m128i match(__m128i v) const
    {
        __m128i m = _mm_setzero_si128();
        for (int k = 0; k < m_count; ++k)
            m = _mm_or_si128(m, _mm_cmpeq_epi8(v, m_values[k]));
        if (m_leadBytes)
            m = _mm_or_si128(m, _mm_cmpeq_epi8(_mm_max_epu8(v, m_leadFloor), v));
        return m;
    }

private:
    __m128i m_values[ByteSet::kMaxValues];
    __m128i m_leadFloor;
    int m_count;
    bool m_leadBytes;
};
#endif

// Finds the bytes of one set.
class ByteFinder
{
public:
    explicit ByteFinder(const ByteSet &set);
    // The first i in [from, to) with data[i] in the set, or -1.
    qsizetype find(const char *data, qsizetype from, qsizetype to) const;
    // The last such i, or -1.
    qsizetype findLast(const char *data, qsizetype from, qsizetype to) const;

private:
    ByteSet m_set;
#if defined(__SSE2__)
    ByteLanes m_lanes;
#endif
};

// Finds places where a byte of one set is followed by a byte of another, for either of
// two such pairs of sets.
class PairFinder
{
public:
    PairFinder(const ByteSet &first, const ByteSet &second, const ByteSet &otherFirst, const ByteSet &otherSecond);
    // The first i in [from, to) that starts a pair, or -1. data[to] must be readable.
    qsizetype find(const char *data, qsizetype from, qsizetype to) const;

private:
    bool startsPair(const char *at) const
    {
        return (m_first.contains(at[0]) && m_second.contains(at[1]))
               || (m_otherFirst.contains(at[0]) && m_otherSecond.contains(at[1]));
    }

    ByteSet m_first, m_second, m_otherFirst, m_otherSecond;
#if defined(__SSE2__)
    ByteLanes m_firstLanes, m_secondLanes, m_otherFirstLanes, m_otherSecondLanes;
#endif
};

} // namespace pw::server
