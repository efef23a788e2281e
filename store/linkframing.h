#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The line framing of the client/server link and its message texts.
namespace pw::link {

// Longest line, without its "\n", and the size of each side's buffers.
inline constexpr qsizetype kMaxLine = 16384;

// Cuts received bytes into lines. A line is delivered without its "\n" (and without a
// "\r" just before it, so a hand-typed CR LF session works too). A line that goes on past
// kMaxLine bytes is delivered in pieces of kMaxLine bytes, or dropped whole, as chosen; so
// a peer cannot grow the buffer without bound.
class LineFramer
{
public:
    enum class Overlong {
        Split,   // deliver an over-long line in pieces of kMaxLine bytes
        Discard, // drop an over-long line whole, up to and including its "\n"
    };
    explicit LineFramer(Overlong overlong = Overlong::Split)
        : m_overlong(overlong)
    {
    }

    QList<QByteArray> feed(QByteArrayView bytes);
    qsizetype pendingBytes() const { return m_pending.size() + (m_heldCr ? 1 : 0); }
    void clear()
    {
        m_pending.clear();
        m_heldCr = false;
        m_discarding = false;
    }

private:
    Overlong m_overlong;
    QByteArray m_pending;
    bool m_heldCr = false;
    bool m_discarding = false; // inside an over-long line that is being dropped
};

// The text as one line on the wire: UTF-8, line breaks inside it turned into blanks,
// cut to kMaxLine bytes on a character boundary, then "\n".
QByteArray frameLine(const QString &text);

// Lines from the client.
inline constexpr char kRetrieve[] = "RETR";
inline constexpr char kGetAll[] = "GETALL";
inline constexpr char kRefreshList[] = "REFRESHLIST";
inline constexpr char kRefreshSetup[] = "REFRESHSETUP";
inline constexpr char kClientClose[] = "CLIENTCLOSE";
inline constexpr char kDial[] = "DUN";

// Lines from the server.
inline constexpr char kTransferActive[] = "TRANSFERACTIVE";
inline constexpr char kAborting[] = "ABORTING";
inline constexpr char kTransferInfo[] = "TRANSFERINFO";
inline constexpr char kScheduleUpdate[] = "SCHEDUPDATE";
inline constexpr char kDunConnecting[] = "DUNCONNECTING";
inline constexpr char kDunConnected[] = "DUNCONNECTED";
inline constexpr char kBeginInboxUpdate[] = "BEGININBOXUPDATE";
inline constexpr char kEndInboxUpdate[] = "ENDINBOXUPDATE";
inline constexpr char kBeginEditUpdate[] = "BEGINEDITUPDATE";
inline constexpr char kEndEditUpdate[] = "ENDEDITUPDATE";
inline constexpr char kBeginReportUpdate[] = "BEGINREPORTUPDATE";
inline constexpr char kEndReportUpdate[] = "ENDREPORTUPDATE";

// Body line counts of the three update blocks.
inline constexpr int kInboxBodyLines = 8;
inline constexpr int kEditBodyLines = 4;
inline constexpr int kReportBodyLines = 3;

// "KEYWORD TRUE" / "KEYWORD FALSE".
QString stateLine(const char *keyword, bool value);
// "RETR " + name.
QString retrieveLine(const QString &listName);
// "TRANSFERINFO Last Retrieval: [Completed:C] [New/Modified:M] [Unchanged:U] [Errors:E]".
QString transferInfoLine(int completed, int modified, int unchanged, int errors);

struct InboxUpdate
{
    QString listName;
    QString description;
    QString url;
    QString dateTime;
    QString lastModified;
    QString size;
    QString fileLocation;
    bool keepOne = false;
};

struct EditUpdate
{
    QString listName;
    QString url;
    QString lastModified;
    QString size;
};

struct ReportUpdate
{
    QString dateTime;
    QString listName;
    QString fileLocation;
};

// Each block: BEGIN line, body lines, END line.
QStringList inboxUpdateBlock(const InboxUpdate &update);
QStringList editUpdateBlock(const EditUpdate &update);
QStringList reportUpdateBlock(const ReportUpdate &update);

// A Last-Modified text as the inbox block and WebBox carry it: trimmed, and "*" for one
// character or less and for "Not Available".
QString inboxLastModified(const QString &received);

} // namespace pw::link
