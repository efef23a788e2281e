#include "fontsetting.h"

#include <array>

using namespace Qt::StringLiterals;

namespace pw {

namespace {

// Tried top to bottom; the first word found anywhere in the lower-cased text decides.
// "ltgray" contains "gray", which comes first, so it reads as grey.
struct ColourWord
{
    const char16_t *word;
    Rgb rgb;
};

constexpr Rgb kGrey{0x80, 0x80, 0x80};

constexpr std::array<ColourWord, 18> kColourWords{{
    {u"black", {0x00, 0x00, 0x00}},
    {u"blue", {0x00, 0x00, 0xFF}},
    {u"dkgray", kGrey},
    {u"fuchsia", {0xFF, 0x00, 0xFF}},
    {u"aqua", {0x00, 0xFF, 0xFF}},
    {u"gray", kGrey},
    {u"green", {0x00, 0x80, 0x00}},
    {u"lime", {0x00, 0xFF, 0x00}},
    {u"ltgray", {0xC0, 0xC0, 0xC0}},
    {u"maroon", {0x80, 0x00, 0x00}},
    {u"navy", {0x00, 0x00, 0x80}},
    {u"olive", {0x80, 0x80, 0x00}},
    {u"purple", {0x80, 0x00, 0x80}},
    {u"red", {0xFF, 0x00, 0x00}},
    {u"teal", {0x00, 0x80, 0x80}},
    {u"silver", {0xC0, 0xC0, 0xC0}},
    {u"white", {0xFF, 0xFF, 0xFF}},
    {u"yellow", {0xFF, 0xFF, 0x00}},
}};

} // namespace

QString formatFont(const FontSetting &font)
{
    QString text = font.name + u',' + QString::number(font.size);
    if (font.bold)
        text += u",Bold"_s;
    if (font.italic)
        text += u",Italic"_s;
    if (font.underline)
        text += u",Underline"_s;
    if (font.strikeout)
        text += u",Strikeout"_s;
    text += u',';
    if (const auto name = standardColourName(font.colour))
        text += *name;
    else
        text += colourToText(font.colour);
    return text;
}

FontSetting parseFont(QStringView text)
{
    FontSetting font;
    if (text.count(u',') < 2)
        return font;
    const qsizetype firstComma = text.indexOf(u',');
    font.name = text.first(firstComma).toString();
    const QStringView rest = text.sliced(firstComma + 1);
    bool ok = false;
    const int size = rest.first(rest.indexOf(u',')).toInt(&ok);
    // A size that is no number, or no sensible size, keeps the default.
    if (ok && size > 0 && size <= 1638)
        font.size = size;
    font.bold = rest.contains(u"Bold");
    font.italic = rest.contains(u"Italic");
    font.strikeout = rest.contains(u"Strikeout");
    font.underline = rest.contains(u"Underline");

    const QString lower = rest.toString().toLower();
    for (const ColourWord &entry : kColourWords) {
        if (lower.contains(QStringView(entry.word))) {
            font.colour = entry.rgb;
            return font;
        }
    }
    // The writer's form for a colour without a name: "$" and hex digits as the last field.
    const QStringView last = rest.sliced(rest.lastIndexOf(u',') + 1);
    if (last.startsWith(u'$')) {
        if (const auto rgb = colourFromText(last))
            font.colour = *rgb;
    }
    return font;
}

} // namespace pw
