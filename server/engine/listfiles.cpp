#include "listfiles.h"

#include "store/fileio.h"
#include "store/paths.h"
#include "store/textlines.h"
#include "store/webbox.h"

#include <QFile>
#include <QHash>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

struct LineSpan
{
    qsizetype start;
    qsizetype end; // exclusive, before the line end
};

QList<LineSpan> lineSpans(const QByteArray &content)
{
    QList<LineSpan> spans;
    qsizetype pos = 0;
    const qsizetype size = content.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && content[end] != '\r' && content[end] != '\n')
            ++end;
        spans.append({pos, end});
        pos = end;
        if (pos < size) {
            if (content[pos] == '\r' && pos + 1 < size && content[pos + 1] == '\n')
                ++pos;
            ++pos;
        }
    }
    return spans;
}

QByteArray withValue(QByteArrayView line, const char *defaultKey, const QString &value)
{
    const qsizetype eq = line.indexOf('=');
    const QByteArray key = eq < 0 ? QByteArray(defaultKey) + '=' : line.first(eq + 1).toByteArray();
    return key + recordValue(value);
}

} // namespace

QByteArray applyListUpdates(const QByteArray &content, const QList<ListValueUpdate> &updates, bool *changed)
{
    if (changed)
        *changed = false;
    const QList<LineSpan> spans = lineSpans(content);
    auto lineAt = [&](qsizetype i) {
        return QByteArrayView(content).sliced(spans[i].start, spans[i].end - spans[i].start);
    };

    // First record of each URL, by lower-cased URL: the line index of its "[ENTRY]".
    QHash<QString, qsizetype> firstRecord;
    for (qsizetype i = 0; i + UrlEntry::kValueCount < spans.size(); ++i) {
        if (lineAt(i) != "[ENTRY]")
            continue;
        const QString url = valueAfterKey(lineAt(i + 1 + UrlEntry::Url)).toLower();
        if (!firstRecord.contains(url))
            firstRecord.insert(url, i);
    }

    // New text per line index; later updates of the same URL win.
    QHash<qsizetype, QByteArray> replaced;
    for (const ListValueUpdate &u : updates) {
        const auto it = firstRecord.constFind(u.url.toLower());
        if (it == firstRecord.constEnd())
            continue;
        const qsizetype lm = *it + 1 + UrlEntry::LastModified;
        const qsizetype size = *it + 1 + UrlEntry::Size;
        replaced.insert(lm, withValue(lineAt(lm), "Last Modified", u.lastModified));
        replaced.insert(size, withValue(lineAt(size), "Size", u.size));
    }
    if (replaced.isEmpty())
        return content;
    if (changed)
        *changed = true;

    QByteArray out;
    out.reserve(content.size() + 64);
    qsizetype copied = 0;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const auto it = replaced.constFind(i);
        if (it == replaced.constEnd())
            continue;
        out += QByteArrayView(content).sliced(copied, spans[i].start - copied);
        out += *it;
        copied = spans[i].end;
    }
    out += QByteArrayView(content).sliced(copied);
    return out;
}

bool saveListUpdates(const QString &dataDirectory, const QString &listName, const QList<UrlEntry> &loaded,
                     const QList<ListValueUpdate> &updates, QString *error)
{
    if (!ensureFolder(paths::urlListFolder(dataDirectory, listName))) {
        if (error)
            *error = u"Cannot create the folder of URL List %1"_s.arg(listName);
        return false;
    }
    const QString path = paths::urlListFile(dataDirectory, listName);
    FileLock lock(path);
    if (!lock.isLocked()) {
        if (error)
            *error = u"Cannot lock %1: %2"_s.arg(path, lock.errorString());
        return false;
    }
    const ReadResult current = readFileBounded(path);
    if (current.status == ReadResult::Missing) {
        QList<UrlEntry> entries = loaded;
        QHash<QString, qsizetype> first;
        for (qsizetype i = 0; i < entries.size(); ++i)
            first.insert(entries[i][UrlEntry::Url].toLower(), first.value(entries[i][UrlEntry::Url].toLower(), i));
        for (const ListValueUpdate &u : updates) {
            if (const auto it = first.constFind(u.url.toLower()); it != first.constEnd()) {
                entries[*it][UrlEntry::LastModified] = u.lastModified;
                entries[*it][UrlEntry::Size] = u.size;
            }
        }
        return writeFileAtomic(path, formatUrlList(listName, entries), error);
    }
    if (!current.ok()) {
        if (error)
            *error = current.error;
        return false;
    }
    bool changed = false;
    const QByteArray updated = applyListUpdates(current.content, updates, &changed);
    if (!changed)
        return true; // the client removed these URLs meanwhile
    for (int attempt = 0; attempt < kFileRetries; ++attempt) {
        if (writeFileAtomic(path, updated, error))
            return true;
    }
    return false;
}

KeepLatestResult keepOnlyLatest(const QString &webBoxPath, const QString &listName,
                                const QList<std::pair<QString, QString>> &keep)
{
    KeepLatestResult result;
    if (keep.isEmpty())
        return result;
    FileLock lock(webBoxPath);
    if (!lock.isLocked())
        return result;
    // Read with the lock already held: the WebBox reader would wait for it.
    const ReadResult file = readFileBounded(webBoxPath);
    if (!file.ok())
        return result;
    const WebBoxRead read = parseWebBox(file.content, ReaderSide::Server);
    QList<WebBoxEntry> records = read.entries;
    for (const auto &[url, dateTime] : keep) {
        for (qsizetype i = 0; i < records.size();) {
            if (records[i].url == url && records[i].dateTime != dateTime) {
                if (QFile::exists(records[i].fileLocation) && QFile::remove(records[i].fileLocation))
                    result.removedFiles.append(records[i].fileLocation);
                records.removeAt(i);
                result.removed = true;
            } else {
                ++i;
            }
        }
    }
    if (!result.removed)
        return result;
    QByteArray out = webBoxHeader(listName);
    for (const WebBoxEntry &entry : records)
        out += formatWebBoxRecord(entry);
    writeFileAtomic(webBoxPath, out);
    return result;
}

} // namespace pw::server
