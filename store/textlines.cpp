#include "textlines.h"

namespace pw {

QByteArrayView LineReader::next()
{
    const qsizetype start = m_pos;
    qsizetype i = start;
    const qsizetype size = m_data.size();
    while (i < size && m_data[i] != '\r' && m_data[i] != '\n')
        ++i;
    const QByteArrayView line = m_data.sliced(start, i - start);
    if (i < size) {
        if (m_data[i] == '\r' && i + 1 < size && m_data[i + 1] == '\n')
            ++i;
        ++i;
    }
    m_pos = i;
    return line;
}

QList<QByteArray> splitLines(QByteArrayView data)
{
    QList<QByteArray> lines;
    LineReader reader(data);
    while (!reader.atEnd())
        lines.append(reader.next().toByteArray());
    return lines;
}

QList<QByteArray> splitBodyLines(QByteArrayView body)
{
    QList<QByteArray> lines;
    qsizetype pos = 0;
    const qsizetype size = body.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && body[end] != '\r')
            ++end;
        QByteArrayView line = body.sliced(pos, end - pos);
        if (const qsizetype nul = line.indexOf('\0'); nul >= 0)
            line = line.first(nul);
        lines.append(line.toByteArray());
        if (end < size) {
            ++end;
            if (end < size && body[end] == '\n')
                ++end;
        }
        pos = end;
    }
    return lines;
}

QByteArray joinCrLf(const QList<QByteArray> &lines)
{
    qsizetype total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + 2;
    QByteArray out;
    out.reserve(total);
    for (const QByteArray &line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

QByteArray recordValue(const QString &value)
{
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', ' ').replace('\n', ' ');
    return bytes;
}

QString valueAfterKey(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    return QString::fromUtf8(eq < 0 ? line : line.sliced(eq + 1));
}

QByteArray cutUtf8(QByteArray bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes;
    qsizetype cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return bytes;
}

} // namespace pw
