#pragma once

#include "store/settings.h"
#include "store/urllist.h"

namespace pw::client {

// An entry with the values a new one starts with: nothing retrieved yet, changes
// highlighted in yellow, keywords off, and the time-outs and size threshold of the
// current settings. The import wizards append such entries with their own description
// and URL.
UrlEntry newEntry(const Settings &settings, const QString &url = {}, const QString &description = {});

} // namespace pw::client
