#pragma once

#include "colourtext.h"

#include <QString>

namespace pw {

// A printing font as stored in one line: "Times New Roman,12,Bold,Black,Underline".
struct FontSetting
{
    QString name = QStringLiteral("Times New Roman");
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    Rgb colour;

    friend bool operator==(const FontSetting &, const FontSetting &) = default;
};

// Name, size, the styles present in the order Bold, Italic, Underline, Strikeout, then
// the colour's standard name without "cl" or its "$" form.
QString formatFont(const FontSetting &font);

// The reverse. With fewer than two commas the result is Times New Roman 10, black, no
// style. The colour is the first word of a fixed table found in the text after the
// name; failing that a "$" colour field; failing that black.
FontSetting parseFont(QStringView text);

} // namespace pw
