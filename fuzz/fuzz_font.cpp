// Font setting text: parsing, the writer's form, and a font the fuzzer makes up.
#include "fuzzcheck.h"

#include "store/fontsetting.h"

using pw::FontSetting;

namespace {

void checkParsed(const QString &text)
{
    const FontSetting font = pw::parseFont(text);
    FUZZ_CHECK(font.size > 0 && font.size <= 1638);
    FUZZ_CHECK(!font.name.contains(u','));
    if (text.count(u',') < 2)
        FUZZ_CHECK(font == FontSetting());
    else
        FUZZ_CHECK(font.name == text.section(u',', 0, 0));

    // The writer's form reads back as the same font, and is then a fixed point.
    const QString written = pw::formatFont(font);
    const FontSetting again = pw::parseFont(written);
    FUZZ_CHECK(again == font);
    FUZZ_CHECK(pw::formatFont(again) == written);
}

// A font built from the input bytes, as the setup dialog would produce one.
void checkMadeUp(const uint8_t *data, size_t size)
{
    if (size < 6)
        return;
    FontSetting font;
    font.size = 1 + (data[0] | (data[1] << 8)) % 1638;
    font.bold = data[2] & 1;
    font.italic = data[2] & 2;
    font.underline = data[2] & 4;
    font.strikeout = data[2] & 8;
    font.colour = {data[3], data[4], data[5]};
    // The name field ends at the first comma, so a name cannot hold one.
    font.name = fuzz::text(data + 6, size - 6).remove(u',');
    const FontSetting again = pw::parseFont(pw::formatFont(font));
    FUZZ_CHECK(again == font);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkParsed(fuzz::text(data, size));
    checkMadeUp(data, size);
    return 0;
}
