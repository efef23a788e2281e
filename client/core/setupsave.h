#pragma once

#include "store/settings.h"

#include <QSettings>
#include <QString>

#include <optional>

namespace pw::client {

// The Setup dialog's save (`autosave`): writes `values` (the controls as they stand, texts
// as typed) in the stored order and checks each value where it stands in that order. The
// first check that fails ends the save and gives its message; what was written before it
// stays written. Nothing when every check passed. Numbers are written as plain decimals.
std::optional<QString> saveSetup(QSettings &store, const Settings &values);

// An integer as the checks read one: the trimmed text as a decimal number.
std::optional<int> integerValue(const QString &text);

// A mail address as the checks accept one: an "@" and no blank.
bool plausibleMailAddress(const QString &address);

} // namespace pw::client
