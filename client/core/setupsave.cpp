#include "setupsave.h"

#include "client/core/clientmessages.h"

#include "setuptexts.h"

#include "store/passwordcipher.h"

using namespace Qt::StringLiterals;

namespace pw::client {

using settings::writeFlag;
using settings::writeText;

namespace {

// A TCP port; anything above would wrap around to another port.
constexpr int kMaxPort = 65535;

class DefaultsGroup
{
public:
    explicit DefaultsGroup(QSettings &store)
        : m_store(store)
    {
        m_store.beginGroup(u"Defaults"_s);
    }
    ~DefaultsGroup() { m_store.endGroup(); }
    DefaultsGroup(const DefaultsGroup &) = delete;
    DefaultsGroup &operator=(const DefaultsGroup &) = delete;

private:
    QSettings &m_store;
};

std::optional<QString> saveDialUp(QSettings &store, const Settings &s)
{
    if (!s.enabledun) {
        writeFlag(store, u"DUN"_s, false);
        return std::nullopt;
    }
    if (s.pbookIndex < 0)
        return qs(text::kDunNoEntry);
    writeText(store, u"DUN-Index"_s, QString::number(s.pbookIndex));
    if (s.dunuser.isEmpty() || s.dunpass.isEmpty())
        return qs(text::kDunNoCredentials);
    writeText(store, u"DUN-User"_s, s.dunuser);
    writeText(store, u"DUN-Password"_s, PasswordCipher::encipher(s.dunpass.trimmed()));
    if (s.busyretries.trimmed().isEmpty())
        return qs(text::kDunNoRetries);
    const auto retries = integerValue(s.busyretries);
    if (!retries)
        return qs(text::kDunBadRetries);
    writeText(store, u"DUN-Retries"_s, QString::number(*retries));
    writeFlag(store, u"DUN"_s, true);
    writeFlag(store, u"DUNDisconnect"_s, s.discdun);
    return std::nullopt;
}

std::optional<QString> saveReporting(QSettings &store, const Settings &s)
{
    writeFlag(store, u"Reporting"_s, s.reportscapability);
    if (!s.reportscapability)
        return std::nullopt;
    if (s.emailreports) {
        if (s.smtpserver.trimmed().isEmpty())
            return qs(text::kNoSmtpServer);
        if (s.origmail.isEmpty())
            return qs(text::kNoFromAddress);
        if (!plausibleMailAddress(s.origmail))
            return qs(text::kBadFromAddress);
        if (s.sendmail.isEmpty())
            return qs(text::kNoReceiptAddress);
        if (!plausibleMailAddress(s.sendmail))
            return qs(text::kBadReceiptAddress);
        writeFlag(store, u"E-Mail Reports"_s, true);
        writeText(store, u"SMTP Server"_s, s.smtpserver.trimmed());
        writeText(store, u"Mail-Originator"_s, s.origmail);
        writeText(store, u"Mail-Receipt"_s, s.sendmail);
    } else {
        writeFlag(store, u"E-Mail Reports"_s, false);
    }
    writeFlag(store, u"EMAIL-Blank"_s, s.emailblank);
    writeFlag(store, u"Report-Unchanged"_s, s.reportunchanged);
    return std::nullopt;
}

std::optional<QString> saveProxy(QSettings &store, const Settings &s)
{
    writeFlag(store, u"UseProxy"_s, s.useproxy);
    // With the proxy off the stored proxy values are kept for the next time it is on.
    if (!s.useproxy)
        return std::nullopt;
    const auto port = integerValue(s.proxyport);
    if (!port || *port < 1 || *port > kMaxPort)
        return qs(text::kBadProxyPort);
    writeText(store, u"Proxy Port"_s, QString::number(*port));
    if (s.proxyserver.trimmed().isEmpty())
        return qs(text::kBadProxyServer);
    writeText(store, u"Proxy Server"_s, s.proxyserver.trimmed());
    writeText(store, u"Proxy User"_s, s.proxyuser);
    writeText(store, u"Proxy Pass"_s, PasswordCipher::encipher(s.proxypass.trimmed()));
    return std::nullopt;
}

std::optional<QString> saveLimits(QSettings &store, const Settings &s)
{
    struct Limit
    {
        const QString &text;
        QString name;
        const char *message;
    };
    const Limit limits[] = {{s.httptimeout, u"HTTPTimeout"_s, text::kBadHttpTimeout},
                            {s.slowtimeout, u"SlowTimeout"_s, text::kBadSlowTimeout},
                            {s.bytethresh, u"ByteThresh"_s, text::kBadByteThreshold}};
    for (const Limit &limit : limits) {
        const auto value = integerValue(limit.text);
        if (!value || *value < 0)
            return qs(limit.message);
        writeText(store, limit.name, QString::number(*value));
    }
    const auto sizeprot = integerValue(s.sizeprot);
    if (!sizeprot)
        return qs(text::kBadSizeProtection);
    if (*sizeprot < 1 || *sizeprot > 100)
        return qs(text::kSizeProtectionRange);
    writeText(store, u"SizeProt"_s, QString::number(*sizeprot));
    return std::nullopt;
}

} // namespace

std::optional<int> integerValue(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

bool plausibleMailAddress(const QString &address)
{
    return address.contains(u'@') && !address.contains(u' ');
}

std::optional<QString> saveSetup(QSettings &store, const Settings &s)
{
    std::optional<QString> failure;
    {
        DefaultsGroup group(store);
        const QString url = s.defaulturl.trimmed();
        writeText(store, u"Default URL"_s,
                  (url.isEmpty() || url == u"http://"_s) ? QString::fromLatin1(kDefaultHomePage) : url);

        failure = saveDialUp(store, s);
        if (!failure) {
            writeFlag(store, u"DispDate"_s, s.dispdate);
            writeFlag(store, u"DispName"_s, s.dispname);
            writeText(store, u"Title Font"_s, s.titledetails);
            writeText(store, u"SubTitle Font"_s, s.subtitledetails);
            writeText(store, u"Body Font"_s, s.bodydetails);
            failure = saveReporting(store, s);
        }
        if (!failure)
            failure = saveProxy(store, s);
        if (!failure) {
            writeText(store, u"User Agent"_s, s.useragent);
            failure = saveLimits(store, s);
        }
        if (!failure) {
            writeFlag(store, u"Sound Effect"_s, s.useeffect);
            if (s.useeffect)
                writeText(store, u"Sound File"_s, s.soundeffect);
            writeFlag(store, u"System Tray"_s, s.systemtray);
            writeFlag(store, u"Shortcuts"_s, s.shortcutenabled);
            writeText(store, u"Threads"_s, QString::number(std::clamp(s.numthreads, 1, 10)));
        }
    }
    if (!failure) {
        QStringList shortcuts;
        for (const UrlShortcut &shortcut : s.urlshortcuts)
            shortcuts.append(shortcut.description + u"&&&"_s + shortcut.url);
        settings::writeList(store, u"Shortcuts"_s, shortcuts);
        {
            DefaultsGroup group(store);
            writeFlag(store, settings::kTrayClose, s.placeintray);
        }
        settings::writeSchedule(store, s.schedview);
        settings::writeList(store, u"Reports"_s, s.reportlist);
    }
    store.sync();
    return failure;
}

} // namespace pw::client
