#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw::client {

// The steps that turn a fetched page into the one text that link extraction scans. Each
// runs in one pass over its input (the scan handles pages of many megabytes) and gives
// the same text as applying its rule over and over until nothing changes.

// Every line trimmed and preceded by one blank.
QString joinPageLines(const QStringList &lines);

// "&amp;" becomes "&" until none is left, then "&quot;" a double quote, "&copy" the
// copyright sign (a following ";" stays), CR, LF and tab a blank, and "&nbsp;" a blank.
QString replacePageEntities(QStringView text);

// Comments are cut from the front while the first "<!--" comes before the first "-->";
// the first time that is not so, the rest stays as it is.
QString removeLeadingComments(QStringView text);

// All three, in that order.
QString pageText(const QStringList &lines);

// ASCII letters lower-cased, everything else kept: the keywords searched for are ASCII,
// and positions in the copy stay those of the text.
QString asciiLower(QStringView text);

} // namespace pw::client
