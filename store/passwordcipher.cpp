#include "passwordcipher.h"

#include <QRandomGenerator>

namespace pw {

namespace {

constexpr int kKeyLength = int(sizeof(PasswordCipher::kKey)) - 1;

// The key position runs 1..L and wraps back to 1.
int nextKeyPosition(int j)
{
    return j < kKeyLength ? j + 1 : 1;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

void appendHex(QString &out, int value)
{
    static const char digits[] = "0123456789ABCDEF";
    out += QLatin1Char(digits[(value >> 4) & 0xF]);
    out += QLatin1Char(digits[value & 0xF]);
}

} // namespace

QString PasswordCipher::encipher(const QString &plain)
{
    return encipher(plain, int(QRandomGenerator::global()->bounded(256)));
}

QString PasswordCipher::encipher(const QString &plain, int seed)
{
    if (plain.isEmpty())
        return {};
    const QByteArray bytes = plain.toUtf8();
    QString out;
    out.reserve(2 + 2 * bytes.size());
    int p = seed & 0xFF;
    appendHex(out, p);
    int j = 0;
    for (const char ch : bytes) {
        const int c = static_cast<unsigned char>(ch);
        j = nextKeyPosition(j);
        const int v = ((p + c) % 255) ^ static_cast<unsigned char>(kKey[j - 1]);
        appendHex(out, v);
        p = v;
    }
    return out;
}

std::optional<QString> PasswordCipher::decipher(const QString &cipher)
{
    if (cipher.isEmpty())
        return QString();
    if (cipher.size() < 4 || cipher.size() % 2 != 0)
        return std::nullopt;
    auto byteAt = [&cipher](qsizetype i) {
        const int high = hexValue(cipher[i]);
        const int low = hexValue(cipher[i + 1]);
        return (high < 0 || low < 0) ? -1 : high * 16 + low;
    };
    int p = byteAt(0);
    if (p < 0)
        return std::nullopt;
    QByteArray plain;
    plain.reserve(cipher.size() / 2);
    int j = 0;
    for (qsizetype i = 2; i < cipher.size(); i += 2) {
        const int c = byteAt(i);
        if (c < 0)
            return std::nullopt;
        j = nextKeyPosition(j);
        const int d = c ^ static_cast<unsigned char>(kKey[j - 1]);
        plain += char(p < d ? d - p : d - p + 255);
        p = c;
    }
    return QString::fromUtf8(plain);
}

} // namespace pw
