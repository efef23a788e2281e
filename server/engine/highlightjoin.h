#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace pw::server {

// Appended to a page's lines before they are joined. Its first "</eof>" ends the change
// scan; it stays in every text written back.
inline constexpr QByteArrayView kEndMarker = "</eof></eof> ";

// The lines of a file as one text: each line is preceded by a space, or by "<BR>" while a
// "<pre>" seen on that line or an earlier one has not been followed by "</pre>" (both
// found ignoring case, "</pre>" winning on a line that holds both).
QByteArray joinLines(const QList<QByteArray> &lines);

// A page's lines with the end marker as a last line, joined.
QByteArray joinPageLines(const QList<QByteArray> &lines);

} // namespace pw::server
