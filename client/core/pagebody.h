#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

namespace pw::client {

// A fetched page body as text lines. The bytes are split as every fetch splits a body
// (a CR ends a line and takes a following LF with it, a lone LF stays in its line, a NUL
// cuts the rest of its line off) and read in the page's encoding: a byte order mark
// first, else the charset of the Content-Type header, else that of a <meta> tag in the
// first 1024 bytes, else UTF-8 when the body is valid UTF-8, else Latin-1. A charset
// that is not known here counts as none.
QStringList pageBodyLines(const QByteArray &body, QByteArrayView contentType);

// The charset named in a Content-Type value, or empty.
QByteArray contentTypeCharset(QByteArrayView contentType);

// The charset named by a <meta charset> or <meta http-equiv> tag in the first 1024 bytes
// of a page, or empty.
QByteArray metaCharset(QByteArrayView body);

} // namespace pw::client
