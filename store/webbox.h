#pragma once

#include "fileio.h"
#include "urllist.h"

#include <QList>
#include <QString>

namespace pw {

// One accepted page in a WebBox.
struct WebBoxEntry
{
    QString description;
    QString url;
    QString lastModified;
    QString size;
    QString fileLocation;
    QString dateTime;
    bool read = false;

    friend bool operator==(const WebBoxEntry &, const WebBoxEntry &) = default;
};

struct WebBoxRead
{
    enum Status { Ok, Missing, TooLarge, Failed };
    Status status = Ok;
    QList<WebBoxEntry> entries;
    int deadRecords = 0;    // records with URL or File Location "*", left out
    bool truncated = false; // the server reader stopped at a cut-short record, or too many records
    QString error;
    FileSnapshot snapshot; // what was read, for a later rewrite
};

WebBoxRead parseWebBox(QByteArrayView content, ReaderSide side);
WebBoxRead readWebBox(const QString &path, ReaderSide side);

// "[URL]" and the seven lines of one record.
QByteArray formatWebBoxRecord(const WebBoxEntry &entry);
// The four header lines of a list's WebBox file.
QByteArray webBoxHeader(const QString &listName);

// Appends one record, always "Read=False", under the file's lock; creates the file with
// its header when missing.
bool appendWebBox(const QString &path, const QString &listName, WebBoxEntry entry, QString *error = nullptr);

// Replaces the file by the header and `entries`, under its lock. Records that the other
// program appended since `since` was taken are kept after them.
bool rewriteWebBox(const QString &path, const QString &listName, const QList<WebBoxEntry> &entries,
                   const FileSnapshot &since = {}, QString *error = nullptr);

} // namespace pw
