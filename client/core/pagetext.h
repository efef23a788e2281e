#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw::client {

// The steps that turn a fetched page into the one text that link extraction scans. Each
// runs in one pass over its input (the scan handles pages of many megabytes) and gives
// the same text as applying its rule over and over until nothing changes.

// "&amp;" becomes "&" until none is left, then "&quot;" a double quote, "&copy" the
// copyright sign (a following ";" stays), CR, LF and tab a blank, and "&nbsp;" a blank.
QString replacePageEntities(QStringView text);

// Comments are cut from the front while the first "<!--" comes before the first "-->";
// the first time that is not so, the rest stays as it is.
QString removeLeadingComments(QStringView text);

// The page as one text: every line trimmed and preceded by one blank, then the two steps
// above.
QString pageText(const QStringList &lines);

// One byte per character with ASCII letters lower-cased and every character beyond ASCII
// as the byte 0x80: all that searching for the ASCII keywords needs, in half the memory of
// a lower-cased copy, with positions that stay those of the text. (Unicode lower-casing
// could change the length: "\u0130" becomes two characters.)
QByteArray asciiLowerBytes(QStringView text);

// Searches that compare ASCII letters without regard to case, for a pattern written in
// lower case; other characters must match exactly.
qsizetype indexOfNoCase(QStringView text, QStringView lowerPattern, qsizetype from = 0);
bool startsWithNoCase(QStringView text, QStringView lowerPattern);
bool endsWithNoCase(QStringView text, QStringView lowerPattern);
inline bool containsNoCase(QStringView text, QStringView lowerPattern)
{
    return indexOfNoCase(text, lowerPattern) >= 0;
}

} // namespace pw::client
