#pragma once

// Shared by the fuzz targets: a broken property is a finding just like a crash, so it
// stops the run and libFuzzer keeps the input that caused it.

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                          \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace fuzz {

inline QByteArrayView bytes(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Text readers get strings, not bytes. Most inputs go through UTF-8 as files do; when the
// first byte is odd the rest is taken as raw UTF-16, so lone surrogates and characters
// UTF-8 decoding never yields are tried as well.
inline QString text(const uint8_t *data, size_t size)
{
    if (size > 0 && (data[0] & 1)) {
        const size_t units = (size - 1) / 2;
        QString s(qsizetype(units), Qt::Uninitialized);
        for (size_t i = 0; i < units; ++i)
            s[qsizetype(i)] = QChar(char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));
        return s;
    }
    return QString::fromUtf8(bytes(data, size).sliced(size > 0 ? 1 : 0));
}

} // namespace fuzz
