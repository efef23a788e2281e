#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace pw {

// Walks the lines of a text without copying it. A line ends at CR LF, CR or LF;
// the text after the last line end is a line only when it is not empty.
class LineReader
{
public:
    explicit LineReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos >= m_data.size(); }
    QByteArrayView next();

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Every line of a text, split as LineReader does.
QList<QByteArray> splitLines(QByteArrayView data);

// A fetched page body split into lines: a CR ends a line and swallows a following LF,
// a lone LF stays inside its line, and a NUL byte cuts the rest of its line off.
// An empty body gives no lines.
QList<QByteArray> splitBodyLines(QByteArrayView body);

// Each line followed by CR LF.
QByteArray joinCrLf(const QList<QByteArray> &lines);

// A value as one line of a record file: UTF-8, with any line break turned into a blank so
// it cannot split the record.
QByteArray recordValue(const QString &value);

// The value of a "key=value" line: everything after the first "=", or the whole line.
QString valueAfterKey(QByteArrayView line);

// At most `limit` bytes of UTF-8, cut on a character boundary.
QByteArray cutUtf8(QByteArray bytes, qsizetype limit);

} // namespace pw
