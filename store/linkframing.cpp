#include "linkframing.h"

using namespace Qt::StringLiterals;

namespace pw::link {

QList<QByteArray> LineFramer::feed(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', pos);
        qsizetype segmentEnd = newline < 0 ? bytes.size() : newline;
        // The CR of a CR LF is no part of the line, even of one at the length limit.
        if (newline > pos && bytes[newline - 1] == '\r')
            --segmentEnd;
        while (pos < segmentEnd) {
            // A full line that goes on is delivered as it stands; the rest starts a new one.
            if (m_pending.size() == kMaxLine) {
                lines.append(m_pending);
                m_pending.clear();
            }
            const qsizetype take = std::min(kMaxLine - m_pending.size(), segmentEnd - pos);
            m_pending += bytes.sliced(pos, take);
            pos += take;
        }
        if (newline < 0)
            break;
        if (m_pending.endsWith('\r'))
            m_pending.chop(1);
        lines.append(m_pending);
        m_pending.clear();
        pos = newline + 1;
    }
    return lines;
}

QByteArray frameLine(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', ' ').replace('\n', ' ');
    if (bytes.size() > kMaxLine) {
        qsizetype cut = kMaxLine;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        bytes.truncate(cut);
    }
    bytes += '\n';
    return bytes;
}

QString stateLine(const char *keyword, bool value)
{
    return QString::fromLatin1(keyword) + (value ? u" TRUE"_s : u" FALSE"_s);
}

QString retrieveLine(const QString &listName)
{
    return QString::fromLatin1(kRetrieve) + u' ' + listName;
}

QString transferInfoLine(int completed, int modified, int unchanged, int errors)
{
    return QString::fromLatin1(kTransferInfo)
           + u" Last Retrieval: [Completed:%1] [New/Modified:%2] [Unchanged:%3] [Errors:%4]"_s.arg(completed)
                 .arg(modified)
                 .arg(unchanged)
                 .arg(errors);
}

QString inboxLastModified(const QString &received)
{
    const QString trimmed = received.trimmed();
    if (trimmed.size() <= 1 || trimmed == u"Not Available"_s)
        return u"*"_s;
    return trimmed;
}

QStringList inboxUpdateBlock(const InboxUpdate &u)
{
    return {QString::fromLatin1(kBeginInboxUpdate),
            u.listName,
            u.description,
            u.url,
            u.dateTime,
            inboxLastModified(u.lastModified),
            u.size,
            u.fileLocation,
            u.keepOne ? u"TRUE"_s : u"FALSE"_s,
            QString::fromLatin1(kEndInboxUpdate)};
}

QStringList editUpdateBlock(const EditUpdate &u)
{
    return {QString::fromLatin1(kBeginEditUpdate),
            u.listName,
            u.url,
            u.lastModified.isEmpty() ? u"*"_s : u.lastModified,
            u.size,
            QString::fromLatin1(kEndEditUpdate)};
}

QStringList reportUpdateBlock(const ReportUpdate &u)
{
    return {QString::fromLatin1(kBeginReportUpdate), u.dateTime, u.listName, u.fileLocation,
            QString::fromLatin1(kEndReportUpdate)};
}

} // namespace pw::link
