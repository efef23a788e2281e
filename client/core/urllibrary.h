#pragma once

#include <QList>
#include <QString>

namespace pw::client {

// One ready-made address of the URL library.
struct LibraryEntry
{
    QString title;
    QString url;

    friend bool operator==(const LibraryEntry &, const LibraryEntry &) = default;
};

// One category: a ".dta" file of the library folder.
struct LibraryCategory
{
    QString file; // full path
    QString name; // "Unknown" when the file names none
};

// The URL library: INI-style files in the "wizdata" folder beside the client. A file's
// [Category] Name names it; [Count] Value says how many entries it has; [URL] and
// [Description] hold entry i under the key i.
namespace urllibrary {

// The "wizdata" folder of the installation.
QString libraryDir();
// Every file whose name contains ".dta", in file-name order. Empty when the folder holds
// none; `exists` tells whether the folder is there at all.
QList<LibraryCategory> categories(const QString &dir, bool *exists = nullptr);
QString categoryName(const QString &file);
// The entries 0 to Count-1 that have an address, in key order. A missing or unusable
// Count gives none; a title left out shows the address instead.
QList<LibraryEntry> entries(const QString &file);
QList<LibraryEntry> parseEntries(const QByteArray &content);
QString parseCategoryName(const QByteArray &content);

} // namespace urllibrary

} // namespace pw::client
