#include "linkframing.h"

#include "textlines.h"

using namespace Qt::StringLiterals;

namespace pw::link {

QList<QByteArray> LineFramer::feed(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    // Adds line content; a full line that goes on is delivered as it stands.
    auto append = [this, &lines](QByteArrayView data) {
        qsizetype pos = 0;
        while (pos < data.size()) {
            if (m_discarding)
                return;
            if (m_pending.size() == kMaxLine) {
                if (m_overlong == Overlong::Discard) {
                    m_pending.clear();
                    m_discarding = true;
                    return;
                }
                lines.append(m_pending);
                m_pending.clear();
            }
            const qsizetype take = std::min(kMaxLine - m_pending.size(), data.size() - pos);
            m_pending += data.sliced(pos, take);
            pos += take;
        }
    };
    if (m_heldCr && !bytes.isEmpty()) {
        m_heldCr = false;
        if (bytes.front() != '\n')
            append("\r");
    }
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', pos);
        if (newline < 0) {
            qsizetype end = bytes.size();
            // A CR at the end may be the first half of a CR LF: keep it aside until the
            // next byte tells.
            if (bytes[end - 1] == '\r') {
                m_heldCr = true;
                --end;
            }
            append(bytes.sliced(pos, end - pos));
            break;
        }
        qsizetype end = newline;
        if (end > pos && bytes[end - 1] == '\r')
            --end; // the CR of a CR LF is no part of the line
        append(bytes.sliced(pos, end - pos));
        if (!m_discarding)
            lines.append(m_pending);
        m_pending.clear();
        m_discarding = false;
        pos = newline + 1;
    }
    return lines;
}

QByteArray frameLine(const QString &text)
{
    QByteArray bytes = cutUtf8(recordValue(text), kMaxLine);
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
