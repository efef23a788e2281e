#pragma once

#include <QByteArray>
#include <QString>

namespace pw::client {

// A stored page's bytes as text, in the page's own character set: a byte order mark or
// a meta charset (UTF-8 and the UTF-16/32 forms), else UTF-8 when the bytes are valid
// UTF-8, else Windows-1252 (the superset of Latin-1 that old pages meant).
QString decodeStoredPage(const QByteArray &bytes);

} // namespace pw::client
