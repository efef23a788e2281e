#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace pw {

struct Rgb
{
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// The text form of a colour as URL List files and font settings store it: one of the
// sixteen names "clBlack" ... "clWhite" for a standard colour, else "$" and eight
// uppercase hex digits holding 00, blue, green, red.
QString colourToText(Rgb colour);

// Reads a colour text: the sixteen names, the system colour names ("clBtnFace", ...,
// read as their classic default values), "$" and up to eight hex digits, or a decimal
// number. Names are matched ignoring case. Nothing for anything else.
std::optional<Rgb> colourFromText(QStringView text);

// "#RRGGBB", uppercase hex, as written into pages.
QByteArray htmlColour(Rgb colour);

// The HTML form of a colour text, or nothing when the text is no colour.
std::optional<QByteArray> colortohtml(QStringView colourText);

// The standard colour named by `name` without its "cl" prefix ("Navy"), if any.
std::optional<Rgb> standardColour(QStringView nameWithoutPrefix);
// The standard name without "cl" ("Navy") of a standard colour, if it is one.
std::optional<QString> standardColourName(Rgb colour);

} // namespace pw
