#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

namespace pw {

// One watched page of a URL List: eighteen text values in a fixed order.
struct UrlEntry
{
    enum Field {
        Description,
        Url,
        LastModified,
        Size,
        Username,
        Password,
        KeepOne,
        SizePriority,
        Highlighting,
        Delay,
        TimeOut,
        HighlightColor,
        KeywordColor,
        Keywording,
        KeywordsToHighlight,
        WordChecked,
        CaseSensitive,
        SizeThreshold,
    };
    static constexpr int kValueCount = 18;

    // The key written before each value, in field order.
    static const std::array<QString, kValueCount> &keys();

    std::array<QString, kValueCount> values;

    QString &operator[](Field f) { return values[f]; }
    const QString &operator[](Field f) const { return values[f]; }

    // True only for the exact text "TRUE".
    bool flag(Field f) const;
    // The value as a whole number, or `fallback` when it is none.
    int number(Field f, int fallback) const;

    friend bool operator==(const UrlEntry &, const UrlEntry &) = default;
};

struct UrlListRead
{
    enum Status {
        Ok,
        Missing,    // no file
        DeadRecord, // the server reader met a record whose URL is "*" and stopped there
        TooLarge,
        Failed,
    };
    Status status = Ok;
    QList<UrlEntry> entries;
    QString error;
    bool truncated = false; // more records than a reader keeps
};

enum class ReaderSide {
    Server, // stops at damage, keeping what came before
    Client, // passes over damage and goes on
};

// The records of a URL List file's text, in file order.
UrlListRead parseUrlList(QByteArrayView content, ReaderSide side);
UrlListRead readUrlList(const QString &path, ReaderSide side);

// The file's text: the four header lines, then one record per entry.
QByteArray formatUrlList(const QString &listName, const QList<UrlEntry> &entries);
// Replaces the list's file atomically under its lock, creating the folder when missing.
bool writeUrlList(const QString &dataDirectory, const QString &listName, const QList<UrlEntry> &entries,
                  QString *error = nullptr);

// The stored copy's name (without ".tmp"): the URL without its first seven characters,
// cut to 200 bytes, punctuation replaced by "_".
QString urlKey(const QString &url);
// A page file's name: like the key, from the URL, "@" and the date-and-time text.
QString pageName(const QString &url, const QDateTime &now);

} // namespace pw
