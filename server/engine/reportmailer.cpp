#include "reportmailer.h"

#include "store/datetimetext.h"
#include "store/reports.h"

#include <QLocale>
#include <QUuid>

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

const QByteArray kRule(38, '_');

QByteArray headerText(const QString &text)
{
    // Non-ASCII header text as an encoded word, so every mail reader shows it right.
    const QByteArray utf8 = text.toUtf8();
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return ascii ? utf8 : "=?UTF-8?B?" + utf8.toBase64() + "?=";
}

QByteArray rfc5322Date(const QDateTime &now)
{
    const int offset = now.offsetFromUtc() / 60;
    const QByteArray zone = QByteArray(offset < 0 ? "-" : "+")
                            + QByteArray::number(std::abs(offset) / 60).rightJustified(2, '0')
                            + QByteArray::number(std::abs(offset) % 60).rightJustified(2, '0');
    return QLocale::c().toString(now, u"ddd, dd MMM yyyy hh:mm:ss "_s).toLatin1() + zone;
}

struct Upload
{
    QByteArray data;
    qsizetype offset = 0;
};

size_t readChunk(char *buffer, size_t size, size_t count, void *userdata)
{
    auto *upload = static_cast<Upload *>(userdata);
    const size_t room = size * count;
    const size_t left = size_t(upload->data.size() - upload->offset);
    const size_t n = std::min(room, left);
    memcpy(buffer, upload->data.constData() + upload->offset, n);
    upload->offset += qsizetype(n);
    return n;
}

int progress(void *userdata, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<std::atomic<bool> *>(userdata)->load() ? 1 : 0;
}

curl_socket_t openSocket(void *userdata, curlsocktype, curl_sockaddr *address)
{
    const curl_socket_t fd = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    static_cast<std::atomic<int> *>(userdata)->store(fd);
    return fd;
}

int closeSocket(void *userdata, curl_socket_t fd)
{
    static_cast<std::atomic<int> *>(userdata)->store(-1);
    return ::close(fd);
}

QByteArray angle(const QString &address)
{
    return "<" + address.trimmed().toUtf8() + ">";
}

} // namespace

QByteArray composeReportMail(const MailSettings &settings, const MailReport &report, const QDateTime &now)
{
    if (report.lines.isEmpty() && !settings.mailBlank)
        return {};
    QList<QByteArray> body{"Pagewarden Retrieval Report", "URL List: " + report.listName.toUtf8(),
                           "Date/Time: " + datetime::fullText(now).toUtf8(), kRule, QByteArray()};
    if (report.lines.isEmpty())
        body << "**Nothing To Report**";
    for (const QString &line : report.lines)
        body << line.toUtf8();
    body << kRule << QByteArray() << kReportClosingLine1 << kReportClosingLine2;

    QByteArray mail;
    mail += "Date: " + rfc5322Date(now) + "\r\n";
    mail += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@pagewarden>\r\n";
    mail += "From: " + angle(settings.from) + "\r\n";
    mail += "Reply-To: " + angle(settings.from) + "\r\n";
    mail += "To: " + angle(settings.to) + "\r\n";
    mail += "Subject: " + headerText(u"Pagewarden Retrieval Report: "_s + report.listName) + "\r\n";
    mail += "X-Mailer: Pagewarden 1.0\r\n";
    mail += "MIME-Version: 1.0\r\n";
    mail += "Content-Type: text/plain; charset=UTF-8\r\n";
    mail += "Content-Transfer-Encoding: 8bit\r\n\r\n";
    for (const QByteArray &line : body)
        mail += line + "\r\n";
    return mail;
}

void ReportMailer::cancel()
{
    m_cancel = true;
    // A wait for the server's answer is not interrupted by the progress check: end it.
    const int fd = m_socket.load();
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
}

ReportMailer::ReportMailer(QObject *parent)
    : QObject(parent)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

ReportMailer::~ReportMailer()
{
    cancel();
    join();
}

void ReportMailer::join()
{
    if (m_worker.joinable())
        m_worker.join();
}

void ReportMailer::start(const MailSettings &settings, const QList<MailReport> &reports, const QDateTime &now)
{
    join();
    m_cancel = false;
    m_busy = true;
    QList<QByteArray> messages;
    for (const MailReport &report : reports) {
        const QByteArray mail = composeReportMail(settings, report, now);
        if (!mail.isEmpty())
            messages.append(mail);
    }
    QString server = settings.server.trimmed();
    if (!server.contains(u':'))
        server += u":25"_s;
    const QByteArray url = "smtp://" + server.toUtf8();
    const QByteArray from = angle(settings.from);
    const QByteArray to = angle(settings.to);

    m_worker = std::thread([this, messages, url, from, to] {
        QStringList log;
        int sent = 0;
        CURL *curl = curl_easy_init();
        char errors[CURL_ERROR_SIZE] = {};
        curl_slist *recipients = curl_slist_append(nullptr, to.constData());
        for (const QByteArray &message : messages) {
            Upload upload{message, 0};
            errors[0] = '\0';
            curl_easy_setopt(curl, CURLOPT_URL, url.constData());
            curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
            curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
            curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
            curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
            curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY)); // STARTTLS when offered
            curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errors);
            curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
            curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &m_cancel);
            curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
            curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
            curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, openSocket);
            curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, &m_socket);
            curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
            curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, &m_socket);
            if (m_cancel)
                break;
            const CURLcode result = curl_easy_perform(curl);
            if (result != CURLE_OK) {
                long reply = 0;
                curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
                const QString text =
                    errors[0] ? QString::fromUtf8(errors) : QString::fromUtf8(curl_easy_strerror(result));
                log << u"Mail transfer error: "_s + QString::number(reply ? reply : long(result)) + u' ' + text
                    << u"Report mail transfer error. "_s + text;
                break;
            }
            ++sent;
        }
        curl_slist_free_all(recipients);
        curl_easy_cleanup(curl); // says QUIT on the open connection
        QMetaObject::invokeMethod(
            this,
            [this, log, sent] {
                join();
                m_busy = false;
                Q_EMIT finished(log, sent);
            },
            Qt::QueuedConnection);
    });
}

} // namespace pw::server
