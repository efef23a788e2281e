#include "linkdispatcher.h"

namespace pw::client {

namespace {

using namespace Qt::StringLiterals;

bool startsWith(const QString &line, const char *keyword)
{
    return line.startsWith(QLatin1StringView(keyword));
}

// "KEYWORD value": the line begins with the keyword and holds a blank somewhere.
bool isStateLine(const QString &line, const char *keyword)
{
    return startsWith(line, keyword) && line.contains(u' ');
}

// The text after the first blank, trimmed.
QString valueOf(const QString &line)
{
    return line.mid(line.indexOf(u' ') + 1).trimmed();
}

// The first `count` lines, trimmed; the block's lines are consumed either way.
QStringList takeLines(QStringList &buffer, int count)
{
    QStringList taken;
    if (buffer.size() >= count) {
        for (int i = 0; i < count; ++i)
            taken.append(buffer.at(i).trimmed());
    }
    buffer.clear();
    return taken;
}

} // namespace

void LinkDispatcher::IPPort1DataIn(const QString &line)
{
    if (isStateLine(line, link::kTransferActive)) {
        m_transferActive = valueOf(line) == "TRUE"_L1;
        Q_EMIT transferActiveChanged(m_transferActive);
    } else if (isStateLine(line, link::kAborting)) {
        m_aborting = valueOf(line) == "TRUE"_L1;
        Q_EMIT abortingChanged(m_aborting);
    } else if (isStateLine(line, link::kTransferInfo)) {
        Q_EMIT transferInfo(valueOf(line));
    } else if (startsWith(line, link::kScheduleUpdate)) {
        Q_EMIT scheduleUpdated();
    } else if (isStateLine(line, link::kDunConnected) || isStateLine(line, link::kDunConnecting)) {
        Q_EMIT dialUpState(line.left(line.indexOf(u' ')), valueOf(line) == "TRUE"_L1);
    } else if (startsWith(line, link::kBeginInboxUpdate)) {
        m_inbox.open = true;
    } else if (m_inbox.open && !startsWith(line, link::kEndInboxUpdate)) {
        m_inbox.lines.append(line);
    } else if (startsWith(line, link::kEndInboxUpdate)) {
        m_inbox.open = false;
        processlist();
    } else if (startsWith(line, link::kBeginReportUpdate)) {
        m_report.open = true;
    } else if (m_report.open && !startsWith(line, link::kEndReportUpdate)) {
        m_report.lines.append(line);
    } else if (startsWith(line, link::kEndReportUpdate)) {
        m_report.open = false;
        processreport();
    } else if (startsWith(line, link::kBeginEditUpdate)) {
        m_edit.open = true;
    } else if (m_edit.open && !startsWith(line, link::kEndEditUpdate)) {
        m_edit.lines.append(line);
    } else if (startsWith(line, link::kEndEditUpdate)) {
        m_edit.open = false;
        processeditlist();
    }
}

void LinkDispatcher::reset()
{
    m_inbox = {};
    m_report = {};
    m_edit = {};
}

void LinkDispatcher::setIdle()
{
    m_transferActive = false;
    m_aborting = false;
}

void LinkDispatcher::processlist()
{
    const QStringList f = takeLines(m_inbox.lines, link::kInboxBodyLines);
    if (f.isEmpty())
        return;
    Q_EMIT inboxUpdate({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7] == "TRUE"_L1});
}

void LinkDispatcher::processreport()
{
    const QStringList f = takeLines(m_report.lines, link::kReportBodyLines);
    if (f.isEmpty())
        return;
    Q_EMIT reportUpdate({f[0], f[1], f[2]});
}

void LinkDispatcher::processeditlist()
{
    const QStringList f = takeLines(m_edit.lines, link::kEditBodyLines);
    if (f.isEmpty())
        return;
    Q_EMIT editUpdate({f[0], f[1], f[2], f[3]});
}

} // namespace pw::client
