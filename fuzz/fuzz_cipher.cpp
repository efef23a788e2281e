// Password cipher: which texts decipher at all, and that enciphering is undone.
#include "fuzzcheck.h"

#include "store/passwordcipher.h"

using pw::PasswordCipher;

namespace {

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
}

bool wellFormed(const QString &cipher)
{
    if (cipher.isEmpty())
        return true;
    if (cipher.size() < 4 || cipher.size() % 2 != 0)
        return false;
    for (const QChar c : cipher) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Arbitrary text as a stored cipher: refused exactly when it is malformed.
    const QString stored = fuzz::text(data, size);
    const std::optional<QString> plainOfStored = PasswordCipher::decipher(stored);
    FUZZ_CHECK(plainOfStored.has_value() == wellFormed(stored));
    if (stored.isEmpty())
        FUZZ_CHECK(plainOfStored == QString());

    // Arbitrary text as a password. U+0000 is the one character the cipher cannot carry
    // (a zero byte deciphers as 255), so it is left out here.
    if (size < 1)
        return 0;
    const int seed = data[0];
    QString plain = QString::fromUtf8(fuzz::bytes(data + 1, size - 1));
    plain.remove(QChar(u'\0'));

    const QString cipher = PasswordCipher::encipher(plain, seed);
    if (plain.isEmpty()) {
        FUZZ_CHECK(cipher.isEmpty());
        return 0;
    }
    FUZZ_CHECK(cipher.size() == 2 + 2 * plain.toUtf8().size());
    FUZZ_CHECK(cipher.first(2).toInt(nullptr, 16) == seed);
    FUZZ_CHECK(cipher == cipher.toUpper());
    FUZZ_CHECK(wellFormed(cipher));
    FUZZ_CHECK(PasswordCipher::decipher(cipher) == plain);
    // Hex digits are read in either case.
    FUZZ_CHECK(PasswordCipher::decipher(cipher.toLower()) == plain);
    // With a random seed too.
    FUZZ_CHECK(PasswordCipher::decipher(PasswordCipher::encipher(plain)) == plain);
    return 0;
}
