#include "store/colourtext.h"
#include "store/fontsetting.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(pw::Rgb)

class TestColourFont : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colourTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("html");
        QTest::newRow("yellow") << u"clYellow"_s << true << QByteArray("#FFFF00");
        QTest::newRow("red") << u"clRed"_s << true << QByteArray("#FF0000");
        QTest::newRow("navy") << u"clNavy"_s << true << QByteArray("#000080");
        QTest::newRow("any case") << u"CLAQUA"_s << true << QByteArray("#00FFFF");
        QTest::newRow("hex is 00BBGGRR") << u"$000080FF"_s << true << QByteArray("#FF8000");
        QTest::newRow("short hex") << u"$FF"_s << true << QByteArray("#FF0000");
        QTest::newRow("decimal") << u"255"_s << true << QByteArray("#FF0000");
        QTest::newRow("system colour name") << u"clBtnFace"_s << true << QByteArray("#F0F0F0");
        QTest::newRow("system colour number") << u"$8000000F"_s << true << QByteArray("#F0F0F0");
        QTest::newRow("unknown name") << u"clPink"_s << false << QByteArray();
        QTest::newRow("empty") << QString() << false << QByteArray();
        QTest::newRow("bad hex") << u"$12G4"_s << false << QByteArray();
        QTest::newRow("too long hex") << u"$000000000"_s << false << QByteArray();
        QTest::newRow("dollar only") << u"$"_s << false << QByteArray();
        QTest::newRow("0x inside") << u"$0x1F"_s << false << QByteArray();
        QTest::newRow("blank inside") << u"$ 1F"_s << false << QByteArray();
        QTest::newRow("sign inside") << u"$+1F"_s << false << QByteArray();
        QTest::newRow("Kelvin sign") << u"clBlac\u212A"_s << false << QByteArray();
        QTest::newRow("unknown system index") << u"$80000FFF"_s << false << QByteArray();
    }
    void colourTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, html);
        const auto result = pw::colortohtml(text);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, html);
    }

    void colourTextRoundTrip_data()
    {
        QTest::addColumn<pw::Rgb>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("standard") << pw::Rgb{0x80, 0x00, 0x80} << u"clPurple"_s;
        QTest::newRow("custom") << pw::Rgb{0xFF, 0x80, 0x00} << u"$000080FF"_s;
        QTest::newRow("near white") << pw::Rgb{0xFE, 0xFF, 0xFF} << u"$00FFFFFE"_s;
    }
    void colourTextRoundTrip()
    {
        QFETCH(pw::Rgb, colour);
        QFETCH(QString, text);
        QCOMPARE(pw::colourToText(colour), text);
        QCOMPARE(pw::colourFromText(text), std::optional<pw::Rgb>(colour));
    }

    void parseFont_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("styles"); // B I U S present
        QTest::addColumn<pw::Rgb>("colour");
        const pw::Rgb black{0, 0, 0};
        QTest::newRow("one comma") << u"Arial,10"_s << u"Times New Roman"_s << 10 << QString() << black;
        QTest::newRow("no comma") << u"Arial"_s << u"Times New Roman"_s << 10 << QString() << black;
        QTest::newRow("italic navy") << u"Arial,14,Italic,Navy"_s << u"Arial"_s << 14 << u"I"_s << pw::Rgb{0, 0, 0x80};
        QTest::newRow("green is not grey") << u"Arial,8,Green"_s << u"Arial"_s << 8 << QString() << pw::Rgb{0, 0x80, 0};
        QTest::newRow("title default") << u"Times New Roman,12,Bold,Black,Underline"_s << u"Times New Roman"_s << 12
                                       << u"BU"_s << black;
        QTest::newRow("subtitle default")
            << u"Times New Roman,10,Red"_s << u"Times New Roman"_s << 10 << QString() << pw::Rgb{0xFF, 0, 0};
        QTest::newRow("body default") << u"Times New Roman,9,Blue"_s << u"Times New Roman"_s << 9 << QString()
                                      << pw::Rgb{0, 0, 0xFF};
        QTest::newRow("ltgray reads as grey")
            << u"Arial,9,LtGray"_s << u"Arial"_s << 9 << QString() << pw::Rgb{0x80, 0x80, 0x80};
        QTest::newRow("all styles") << u"Courier,11,Bold,Italic,Underline,Strikeout,Maroon"_s << u"Courier"_s << 11
                                    << u"BIUS"_s << pw::Rgb{0x80, 0, 0};
        QTest::newRow("hex colour") << u"Arial,9,$000080FF"_s << u"Arial"_s << 9 << QString() << pw::Rgb{0xFF, 0x80, 0};
        QTest::newRow("no colour word") << u"Arial,9,Mauve"_s << u"Arial"_s << 9 << QString() << black;
        QTest::newRow("size not a number")
            << u"Arial,big,Red"_s << u"Arial"_s << 10 << QString() << pw::Rgb{0xFF, 0, 0};
    }
    void parseFont()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QString, styles);
        QFETCH(pw::Rgb, colour);
        const pw::FontSetting font = pw::parseFont(text);
        QCOMPARE(font.name, name);
        QCOMPARE(font.size, size);
        QCOMPARE(font.bold, styles.contains(u'B'));
        QCOMPARE(font.italic, styles.contains(u'I'));
        QCOMPARE(font.underline, styles.contains(u'U'));
        QCOMPARE(font.strikeout, styles.contains(u'S'));
        QCOMPARE(font.colour, colour);
    }

    void formatFontRoundTrips()
    {
        pw::FontSetting font;
        font.name = u"Arial"_s;
        font.size = 14;
        font.bold = true;
        font.strikeout = true;
        font.colour = {0, 0x80, 0x80};
        QCOMPARE(pw::formatFont(font), u"Arial,14,Bold,Strikeout,Teal"_s);
        QCOMPARE(pw::parseFont(pw::formatFont(font)), font);

        font.colour = {0x12, 0x34, 0x56};
        QCOMPARE(pw::formatFont(font), u"Arial,14,Bold,Strikeout,$00563412"_s);
        QCOMPARE(pw::parseFont(pw::formatFont(font)), font);
    }
};

QTEST_GUILESS_MAIN(TestColourFont)
#include "tst_colourfont.moc"
