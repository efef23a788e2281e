#include "webbox.h"

#include "textlines.h"

using namespace Qt::StringLiterals;

namespace pw {

namespace {

const QByteArray kRecordMarker = "[URL]";
constexpr int kRecordLines = 7;

} // namespace

WebBoxRead parseWebBox(QByteArrayView content, ReaderSide side)
{
    WebBoxRead result;
    LineReader lines(content);
    while (!lines.atEnd()) {
        if (lines.next() != kRecordMarker)
            continue;
        LineReader record = lines;
        QString values[kRecordLines];
        int taken = 0;
        for (; taken < kRecordLines && !record.atEnd(); ++taken)
            values[taken] = valueAfterKey(record.next());
        if (taken < kRecordLines) {
            if (side == ReaderSide::Server) {
                result.truncated = true;
                break;
            }
            continue;
        }
        if (values[1] == u"*"_s || values[4] == u"*"_s) {
            ++result.deadRecords;
            continue;
        }
        if (result.entries.size() >= kMaxRecords) {
            result.truncated = true;
            break;
        }
        result.entries.append(
            {values[0], values[1], values[2], values[3], values[4], values[5], values[6].toLower() == u"true"_s});
    }
    return result;
}

WebBoxRead readWebBox(const QString &path, ReaderSide side)
{
    const ReadResult file = readSharedFile(path);
    if (file.ok()) {
        WebBoxRead result = parseWebBox(file.content, side);
        result.snapshot = FileSnapshot::of(file.content);
        return result;
    }
    WebBoxRead result;
    result.status = file.status == ReadResult::Missing    ? WebBoxRead::Missing
                    : file.status == ReadResult::TooLarge ? WebBoxRead::TooLarge
                                                          : WebBoxRead::Failed;
    result.error = file.error;
    if (file.status == ReadResult::Missing)
        result.snapshot = FileSnapshot::of({}); // whatever appears later was appended
    return result;
}

QByteArray webBoxHeader(const QString &listName)
{
    QByteArray out;
    out += "Pagewarden WebBox file. Edit it in Pagewarden, not by hand.\r\n";
    out += "Norvane Software's Pagewarden\r\n";
    out += "WebBox: " + recordValue(listName) + "\r\n";
    out += "\r\n";
    return out;
}

QByteArray formatWebBoxRecord(const WebBoxEntry &entry)
{
    QByteArray out;
    out += kRecordMarker + "\r\n";
    out += "Description=" + recordValue(entry.description) + "\r\n";
    out += "URL=" + recordValue(entry.url) + "\r\n";
    out += "Last Modified=" + recordValue(entry.lastModified) + "\r\n";
    out += "Size=" + recordValue(entry.size) + "\r\n";
    out += "File Location=" + recordValue(entry.fileLocation) + "\r\n";
    out += "Date/Time=" + recordValue(entry.dateTime) + "\r\n";
    out += entry.read ? "Read=True\r\n" : "Read=False\r\n";
    return out;
}

bool appendWebBox(const QString &path, const QString &listName, WebBoxEntry entry, QString *error)
{
    entry.read = false;
    return appendLocked(path, formatWebBoxRecord(entry), webBoxHeader(listName), error);
}

bool rewriteWebBox(const QString &path, const QString &listName, const QList<WebBoxEntry> &entries,
                   const FileSnapshot &since, QString *error)
{
    return rewriteLocked(
        path,
        [&](const QByteArray &current) {
            QByteArray out = webBoxHeader(listName);
            for (const WebBoxEntry &entry : entries)
                out += formatWebBoxRecord(entry);
            // Records appended meanwhile: parse them back so that only whole ones are kept.
            const WebBoxRead added = parseWebBox(since.appendedSince(current), ReaderSide::Client);
            for (const WebBoxEntry &entry : added.entries)
                out += formatWebBoxRecord(entry);
            return out;
        },
        error);
}

} // namespace pw
