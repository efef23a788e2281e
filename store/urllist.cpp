#include "urllist.h"

#include "datetimetext.h"
#include "fileio.h"
#include "paths.h"
#include "textlines.h"

using namespace Qt::StringLiterals;

namespace pw {

namespace {

const QByteArray kEntryMarker = "[ENTRY]";
constexpr qsizetype kMaxNameSourceBytes = 200;

bool replacedInNames(unsigned char c)
{
    // The space and the printable punctuation except ' , - and _; control characters too,
    // so no name holds them.
    return c < 0x20 || (c >= 0x20 && c <= 0x26) || (c >= 0x28 && c <= 0x2B) || c == 0x2E || c == 0x2F
           || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x5E) || c == 0x60 || (c >= 0x7B && c <= 0x7F);
}

QString safeName(QByteArray bytes)
{
    for (char &ch : bytes) {
        if (replacedInNames(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    return QString::fromUtf8(bytes);
}

} // namespace

const std::array<QString, UrlEntry::kValueCount> &UrlEntry::keys()
{
    static const std::array<QString, kValueCount> names{
        u"Description"_s,  u"URL"_s,           u"Last Modified"_s,
        u"Size"_s,         u"Username"_s,      u"Password"_s,
        u"KeepOne"_s,      u"SizePriority"_s,  u"Highlighting"_s,
        u"Delay"_s,        u"TimeOut"_s,       u"HighlightColor"_s,
        u"KeywordColor"_s, u"Keywording"_s,    u"KeywordsToHighlight"_s,
        u"WordChecked"_s,  u"CaseSensitive"_s, u"SizeThreshold"_s,
    };
    return names;
}

bool UrlEntry::flag(Field f) const
{
    return values[f] == u"TRUE"_s;
}

int UrlEntry::number(Field f, int fallback) const
{
    bool ok = false;
    const int n = values[f].toInt(&ok, 10);
    return ok ? n : fallback;
}

UrlListRead parseUrlList(QByteArrayView content, ReaderSide side)
{
    UrlListRead result;
    LineReader lines(content);
    while (!lines.atEnd()) {
        if (lines.next() != kEntryMarker)
            continue;
        // The record's lines are looked at again afterwards: read them from a copy.
        LineReader record = lines;
        UrlEntry entry;
        int taken = 0;
        for (; taken < UrlEntry::kValueCount && !record.atEnd(); ++taken)
            entry.values[taken] = valueAfterKey(record.next());
        if (taken < UrlEntry::kValueCount)
            continue; // cut short by the end of the file
        if (entry[UrlEntry::Url] == u"*"_s) {
            if (side == ReaderSide::Server) {
                result.status = UrlListRead::DeadRecord;
                return result;
            }
            continue;
        }
        if (result.entries.size() >= kMaxRecords) {
            result.truncated = true;
            break;
        }
        result.entries.append(entry);
    }
    return result;
}

UrlListRead readUrlList(const QString &path, ReaderSide side)
{
    const ReadResult file = readSharedFile(path);
    UrlListRead result;
    switch (file.status) {
    case ReadResult::Ok:
        return parseUrlList(file.content, side);
    case ReadResult::Missing:
        result.status = UrlListRead::Missing;
        break;
    case ReadResult::TooLarge:
        result.status = UrlListRead::TooLarge;
        break;
    case ReadResult::Failed:
        result.status = UrlListRead::Failed;
        break;
    }
    result.error = file.error;
    return result;
}

QByteArray formatUrlList(const QString &listName, const QList<UrlEntry> &entries)
{
    QByteArray out;
    out += "Pagewarden URL List file. Edit it in Pagewarden, not by hand.\r\n";
    out += "Norvane Software's Pagewarden\r\n";
    out += "URL List: " + recordValue(listName) + "\r\n";
    out += "\r\n";
    const auto &keys = UrlEntry::keys();
    for (const UrlEntry &entry : entries) {
        out += kEntryMarker + "\r\n";
        for (int i = 0; i < UrlEntry::kValueCount; ++i)
            out += keys[i].toUtf8() + '=' + recordValue(entry.values[i]) + "\r\n";
    }
    return out;
}

bool writeUrlList(const QString &dataDirectory, const QString &listName, const QList<UrlEntry> &entries, QString *error)
{
    if (!ensureFolder(paths::urlListFolder(dataDirectory, listName))) {
        if (error)
            *error = u"Cannot create the folder of URL List %1"_s.arg(listName);
        return false;
    }
    return writeLocked(paths::urlListFile(dataDirectory, listName), formatUrlList(listName, entries), error);
}

QString urlKey(const QString &url)
{
    return safeName(cutUtf8(url.mid(7).toUtf8(), kMaxNameSourceBytes));
}

QString pageName(const QString &url, const QDateTime &now)
{
    return safeName(cutUtf8(url.mid(7).toUtf8(), kMaxNameSourceBytes) + '@' + datetime::fullText(now).toUtf8());
}

} // namespace pw
