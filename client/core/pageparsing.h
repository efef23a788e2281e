#pragma once

#include <QString>
#include <QStringList>

namespace pw::client {

// `PageParsing`: appends the absolute addresses found in a fetched page's lines to
// `result`, each at most once without regard to letter case (entries already in `result`
// count). Link mode lists links, frame sources and the page addresses of option and param
// values; frame mode lists only frame sources. `pageUrl` is the address the page was
// fetched from, after redirections: relative links take its scheme, host and port.
// False, with nothing added, when the page has no lines.
bool PageParsing(const QStringList &lines, QStringList &result, bool frameMode, const QString &pageUrl);

// `checkbadchars`: true for a text that cannot be an address: empty, or holding a blank,
// a double quote, a grave accent, any of ( ) < > [ ] ^ { | }, or a control character.
bool checkbadchars(const QString &text);

} // namespace pw::client
