// Colour text: reading, the HTML form, and the writer's form of any colour.
#include "fuzzcheck.h"

#include "store/colourtext.h"

using pw::Rgb;

namespace {

bool isAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

void checkHtml(const QByteArray &html)
{
    FUZZ_CHECK(html.size() == 7 && html.startsWith('#'));
    for (qsizetype i = 1; i < html.size(); ++i) {
        const char c = html[i];
        FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    }
}

void checkWritten(Rgb colour)
{
    const QString text = pw::colourToText(colour);
    const std::optional<QString> name = pw::standardColourName(colour);
    if (name) {
        FUZZ_CHECK(text == QStringLiteral("cl") + *name);
        FUZZ_CHECK(pw::standardColour(*name) == colour);
    } else {
        // "$", then 00, blue, green, red as eight uppercase hex digits.
        FUZZ_CHECK(text.size() == 9 && text.startsWith(QStringLiteral("$00")));
        FUZZ_CHECK(text == text.toUpper());
    }
    FUZZ_CHECK(pw::colourFromText(text) == colour);
    checkHtml(pw::htmlColour(colour));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::text(data, size);
    const std::optional<Rgb> colour = pw::colourFromText(text);
    const std::optional<QByteArray> html = pw::colortohtml(text);
    FUZZ_CHECK(colour.has_value() == html.has_value());

    // Blanks around the text never matter.
    FUZZ_CHECK(pw::colourFromText(QString(QStringLiteral("  ") + text + QStringLiteral("\t"))) == colour);
    // Names and hex digits are read ignoring letter case.
    if (isAscii(text)) {
        FUZZ_CHECK(pw::colourFromText(text.toUpper()) == colour);
        FUZZ_CHECK(pw::colourFromText(text.toLower()) == colour);
    }

    if (colour) {
        FUZZ_CHECK(*html == pw::htmlColour(*colour));
        checkHtml(*html);
        checkWritten(*colour);
    }
    if (size >= 3)
        checkWritten(Rgb{data[0], data[1], data[2]});
    return 0;
}
