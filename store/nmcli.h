#pragma once

#include "dialupdevice.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// Reading what NetworkManager's command-line client prints.
namespace pw::nmcli {

// Terse output ("-t", escaping on): one record per line, fields split at ":", with ":"
// and "\" inside a value escaped by "\". Lines without exactly `fieldCount` fields are
// skipped, so a changed or damaged output never shifts one field into another.
QList<QStringList> parseTerse(QByteArrayView output, int fieldCount);

// One value as terse output writes it.
QString escapeTerse(const QString &value);

// The number at the end of an active connection's D-Bus path
// ("/org/freedesktop/NetworkManager/ActiveConnection/12" gives "12"), or empty.
QString activeHandle(const QString &path);

// The message of a failed call: the first "Error: " line of its error output without
// that prefix, or else its first non-empty line; empty when there is none.
QString errorMessage(QByteArrayView errorOutput);

// What a "connection up" that ended with `exitCode` means. NetworkManager's reasons for a
// busy line and for no answer become the system's numbers 676 and 678; so does a wait that
// ran out, which is how an unanswered call ends when NetworkManager never gives up.
DialOutcome dialOutcome(int exitCode, QByteArrayView errorOutput);

} // namespace pw::nmcli
