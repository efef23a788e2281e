#include "colourtext.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace pw {

namespace {

struct NamedColour
{
    const char16_t *name; // without "cl"
    Rgb rgb;
};

constexpr std::array<NamedColour, 16> kStandard{{
    {u"Black", {0x00, 0x00, 0x00}},
    {u"Maroon", {0x80, 0x00, 0x00}},
    {u"Green", {0x00, 0x80, 0x00}},
    {u"Olive", {0x80, 0x80, 0x00}},
    {u"Navy", {0x00, 0x00, 0x80}},
    {u"Purple", {0x80, 0x00, 0x80}},
    {u"Teal", {0x00, 0x80, 0x80}},
    {u"Gray", {0x80, 0x80, 0x80}},
    {u"Silver", {0xC0, 0xC0, 0xC0}},
    {u"Red", {0xFF, 0x00, 0x00}},
    {u"Lime", {0x00, 0xFF, 0x00}},
    {u"Yellow", {0xFF, 0xFF, 0x00}},
    {u"Blue", {0x00, 0x00, 0xFF}},
    {u"Fuchsia", {0xFF, 0x00, 0xFF}},
    {u"Aqua", {0x00, 0xFF, 0xFF}},
    {u"White", {0xFF, 0xFF, 0xFF}},
}};

// System colours, by their index in the classic desktop's table, with that desktop's
// default appearance.
constexpr std::array<NamedColour, 25> kSystem{{
    {u"ScrollBar", {0xC8, 0xC8, 0xC8}},     {u"Background", {0x00, 0x00, 0x00}},
    {u"ActiveCaption", {0x99, 0xB4, 0xD1}}, {u"InactiveCaption", {0xBF, 0xCD, 0xDB}},
    {u"Menu", {0xF0, 0xF0, 0xF0}},          {u"Window", {0xFF, 0xFF, 0xFF}},
    {u"WindowFrame", {0x64, 0x64, 0x64}},   {u"MenuText", {0x00, 0x00, 0x00}},
    {u"WindowText", {0x00, 0x00, 0x00}},    {u"CaptionText", {0x00, 0x00, 0x00}},
    {u"ActiveBorder", {0xB4, 0xB4, 0xB4}},  {u"InactiveBorder", {0xF4, 0xF7, 0xFC}},
    {u"AppWorkSpace", {0xAB, 0xAB, 0xAB}},  {u"Highlight", {0x00, 0x78, 0xD7}},
    {u"HighlightText", {0xFF, 0xFF, 0xFF}}, {u"BtnFace", {0xF0, 0xF0, 0xF0}},
    {u"BtnShadow", {0xA0, 0xA0, 0xA0}},     {u"GrayText", {0x6D, 0x6D, 0x6D}},
    {u"BtnText", {0x00, 0x00, 0x00}},       {u"InactiveCaptionText", {0x00, 0x00, 0x00}},
    {u"BtnHighlight", {0xFF, 0xFF, 0xFF}},  {u"3DDkShadow", {0x69, 0x69, 0x69}},
    {u"3DLight", {0xE3, 0xE3, 0xE3}},       {u"InfoText", {0x00, 0x00, 0x00}},
    {u"InfoBk", {0xFF, 0xFF, 0xE1}},
}};

// A stored colour number: 0x00BBGGRR, or 0x800000nn / 0xFF0000nn for system colour nn.
std::optional<Rgb> fromColourNumber(quint32 value)
{
    const quint32 high = value & 0xFF000000u;
    if (high == 0x80000000u || high == 0xFF000000u) {
        const quint32 index = value & 0x00FFFFFFu;
        if (index < kSystem.size())
            return kSystem[index].rgb;
        return std::nullopt;
    }
    return Rgb{quint8(value & 0xFF), quint8((value >> 8) & 0xFF), quint8((value >> 16) & 0xFF)};
}

} // namespace

std::optional<Rgb> standardColour(QStringView nameWithoutPrefix)
{
    for (const NamedColour &c : kStandard) {
        if (nameWithoutPrefix.compare(QStringView(c.name), Qt::CaseInsensitive) == 0)
            return c.rgb;
    }
    return std::nullopt;
}

std::optional<QString> standardColourName(Rgb colour)
{
    for (const NamedColour &c : kStandard) {
        if (c.rgb == colour)
            return QString::fromUtf16(c.name);
    }
    return std::nullopt;
}

QString colourToText(Rgb colour)
{
    if (const auto name = standardColourName(colour))
        return u"cl"_s + *name;
    const quint32 value = quint32(colour.blue) << 16 | quint32(colour.green) << 8 | colour.red;
    return u"$"_s + u"%1"_s.arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<Rgb> colourFromText(QStringView text)
{
    text = text.trimmed();
    // Colour texts are ASCII; this also keeps Unicode case folding out of the name match.
    if (text.isEmpty() || std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x7E; }))
        return std::nullopt;
    if (text.startsWith(u"cl", Qt::CaseInsensitive)) {
        const QStringView name = text.mid(2);
        if (const auto rgb = standardColour(name))
            return rgb;
        for (const NamedColour &c : kSystem) {
            if (name.compare(QStringView(c.name), Qt::CaseInsensitive) == 0)
                return c.rgb;
        }
        return std::nullopt;
    }
    bool ok = false;
    quint32 value = 0;
    if (text.startsWith(u'$')) {
        const QStringView digits = text.mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        const bool allHex = std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        });
        if (!allHex)
            return std::nullopt;
        value = digits.toUInt(&ok, 16);
    } else {
        const qint64 number = text.toLongLong(&ok, 10);
        ok = ok && number >= INT32_MIN && number <= UINT32_MAX;
        value = quint32(number);
    }
    if (!ok)
        return std::nullopt;
    return fromColourNumber(value);
}

QByteArray htmlColour(Rgb colour)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out("#");
    for (const quint8 part : {colour.red, colour.green, colour.blue}) {
        out += digits[part >> 4];
        out += digits[part & 0xF];
    }
    return out;
}

std::optional<QByteArray> colortohtml(QStringView colourText)
{
    if (const auto rgb = colourFromText(colourText))
        return htmlColour(*rgb);
    return std::nullopt;
}

} // namespace pw
