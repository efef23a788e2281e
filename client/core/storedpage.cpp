#include "storedpage.h"

#include <QStringDecoder>

namespace pw::client {

namespace {

// Windows-1252's characters for 0x80..0x9F; 0 where it has none (kept as the C1 code).
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t mapped = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : 0;
        *out++ = QChar(mapped ? mapped : char16_t(b));
    }
    return text;
}

} // namespace

QString decodeStoredPage(const QByteArray &bytes)
{
    // A byte order mark or a declared UTF-16/32 wins; a declared Latin-1 means what
    // browsers read it as, Windows-1252. Nothing declared (or an unknown set) is tried
    // as UTF-8 first.
    if (const auto declared = QStringConverter::encodingForHtml(bytes)) {
        if (*declared == QStringConverter::Latin1)
            return fromWindows1252(bytes);
        if (*declared != QStringConverter::Utf8 && *declared != QStringConverter::System)
            return QStringDecoder(*declared).decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

} // namespace pw::client
