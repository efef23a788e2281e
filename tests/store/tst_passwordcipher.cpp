#include "store/passwordcipher.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestPasswordCipher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyStaysEmpty()
    {
        QCOMPARE(pw::PasswordCipher::encipher(QString()), QString());
        QCOMPARE(pw::PasswordCipher::decipher(QString()), std::optional<QString>(QString()));
    }

    void knownCipherText()
    {
        // Worked by hand: seed 0x10, 'a' = 0x61: (0x10 + 0x61) mod 255 = 0x71, XOR 'p' (0x70) = 0x01.
        QCOMPARE(pw::PasswordCipher::encipher(u"a"_s, 0x10), u"1001"_s);
        QCOMPARE(pw::PasswordCipher::decipher(u"1001"_s), std::optional<QString>(u"a"_s));
    }

    void roundTripWithEverySeed_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("short") << u"abc"_s;
        QTest::newRow("longer than the key") << u"a password that is longer than twenty-one characters"_s;
        QTest::newRow("non-ASCII") << u"pässwörd ✓"_s;
        QTest::newRow("blanks and symbols") << u" !\"#$%&'()*+,-./:;<=>?@[]^_`{|}~ "_s;
    }
    void roundTripWithEverySeed()
    {
        QFETCH(QString, plain);
        const qsizetype bytes = plain.toUtf8().size();
        for (int seed = 0; seed < 256; ++seed) {
            const QString cipher = pw::PasswordCipher::encipher(plain, seed);
            QCOMPARE(cipher.size(), 2 + 2 * bytes);
            QCOMPARE(cipher.left(2).toInt(nullptr, 16), seed);
            QCOMPARE(pw::PasswordCipher::decipher(cipher), std::optional<QString>(plain));
        }
    }

    void randomSeedsDiffer()
    {
        QSet<QString> seen;
        for (int i = 0; i < 64; ++i) {
            const QString cipher = pw::PasswordCipher::encipher(u"abc"_s);
            QCOMPARE(cipher.size(), 8);
            QCOMPARE(pw::PasswordCipher::decipher(cipher), std::optional<QString>(u"abc"_s));
            seen.insert(cipher);
        }
        QVERIFY2(seen.size() > 1, "every encipherment used the same seed");
    }

    void malformedCipherTextFails_data()
    {
        QTest::addColumn<QString>("cipher");
        QTest::newRow("seed only") << u"4F"_s;
        QTest::newRow("one character") << u"4"_s;
        QTest::newRow("odd length") << u"10011"_s;
        QTest::newRow("not hex") << u"10ZZ"_s;
        QTest::newRow("not hex seed") << u"G101"_s;
        QTest::newRow("blank inside") << u"10 1"_s;
    }
    void malformedCipherTextFails()
    {
        QFETCH(QString, cipher);
        QCOMPARE(pw::PasswordCipher::decipher(cipher), std::nullopt);
    }

    void lowerCaseHexIsAccepted()
    {
        const QString cipher = pw::PasswordCipher::encipher(u"secret"_s, 0xAB);
        QCOMPARE(pw::PasswordCipher::decipher(cipher.toLower()), std::optional<QString>(u"secret"_s));
    }
};

QTEST_GUILESS_MAIN(TestPasswordCipher)
#include "tst_passwordcipher.moc"
