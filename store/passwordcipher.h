#pragma once

#include <QString>

#include <optional>

namespace pw {

// The reversible cipher of stored passwords (URL List entries, proxy and dial-up
// passwords). It only keeps passwords out of plain sight; it is not encryption.
// Works on the UTF-8 bytes of the text.
class PasswordCipher
{
public:
    static constexpr char kKey[] = "pagewardensecretkey58";

    // Two hex digits of a random seed, then two per byte. Empty in, empty out.
    static QString encipher(const QString &plain);
    // Same, with a given seed (0 to 255), so results can be reproduced.
    static QString encipher(const QString &plain, int seed);

    // The plain text, or nothing when `cipher` is malformed: a character that is no
    // hexadecimal digit, an odd length, or a seed with nothing after it.
    static std::optional<QString> decipher(const QString &cipher);
};

} // namespace pw
