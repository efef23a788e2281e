#include "treeindex.h"

#include "fileio.h"
#include "textlines.h"

using namespace Qt::StringLiterals;

namespace pw {

TreeRead parseTreeIndex(QByteArrayView content)
{
    TreeRead result;
    LineReader lines(content);
    int previousDepth = 0;
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        qsizetype indent = 0;
        while (indent < line.size() && (line[indent] == '\t' || line[indent] == ' '))
            ++indent;
        const QString text = QString::fromUtf8(line.sliced(indent));
        int depth = int(std::min<qsizetype>(indent, INT_MAX));
        if (result.items.isEmpty()) {
            depth = 0;
        } else if (depth > previousDepth + 1) {
            result.ok = false;
            result.items.clear();
            result.error = u"Invalid level (%1) for item \"%2\""_s.arg(depth).arg(text);
            return result;
        }
        if (result.items.size() >= kMaxRecords) {
            result.ok = false;
            result.items.clear();
            result.error = u"The tree index holds more than %1 items"_s.arg(kMaxRecords);
            return result;
        }
        result.items.append({depth, text});
        previousDepth = depth;
    }
    return result;
}

TreeRead readTreeIndex(const QString &path)
{
    const ReadResult file = readFileBounded(path);
    if (file.ok() || file.status == ReadResult::Missing)
        return parseTreeIndex(file.content);
    TreeRead result;
    result.ok = false;
    result.error = file.error;
    return result;
}

QByteArray formatTreeIndex(const QList<TreeItem> &items)
{
    QByteArray out;
    for (const TreeItem &item : items) {
        out += QByteArray(std::max(item.depth, 0), '\t') + recordValue(item.text) + "\r\n";
    }
    return out;
}

bool writeTreeIndex(const QString &path, const QList<TreeItem> &items, QString *error)
{
    return writeFileAtomic(path, formatTreeIndex(items), error);
}

} // namespace pw
