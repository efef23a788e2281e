#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <thread>

namespace pw::server {

struct MailSettings
{
    QString server; // "host" or "host:port"
    QString from;
    QString to;
    bool mailBlank = false; // also mail lists without report lines
};

struct MailReport
{
    QString listName;
    QStringList lines;
};

// One report as an RFC 5322 message, or nothing when the list has no lines to report and
// blank reports are not mailed.
QByteArray composeReportMail(const MailSettings &settings, const MailReport &report, const QDateTime &now);

// Mails the reports of a run over SMTP (libcurl), off the main thread: one connection for
// all messages, stopping at the first failure. The outcome comes back on the main thread.
class ReportMailer final : public QObject
{
    Q_OBJECT

public:
    explicit ReportMailer(QObject *parent = nullptr);
    ~ReportMailer() override;

    void start(const MailSettings &settings, const QList<MailReport> &reports, const QDateTime &now);
    // Stops a mailing in progress at once, even while it waits for the server; it ends as
    // a failure.
    void cancel();
    bool busy() const { return m_busy; }

Q_SIGNALS:
    // The action log lines of the mailing, in order, and how many messages went out.
    void finished(const QStringList &logLines, int sent);

private:
    void join();

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_socket{-1}; // the connection of the mailing, while it is open
    bool m_busy = false;
};

} // namespace pw::server
