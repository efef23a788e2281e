#include "dialer.h"

#include "store/linkframing.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

const QString kConnecting = u"Dial-Up Networking: Connecting..."_s;
const QString kConnected = u"Dial-Up Networking: Connected."_s;
const QString kRedialing = u"Dial-Up Networking: Unable to connect, Redialing..."_s;
const QString kDisconnecting = u"Dial-Up Networking: Disconnecting..."_s;
const QString kDisconnected = u"Dial-Up Networking: Disconnected."_s;
const QString kAborted = u"Dial-Up Networking: Aborted."_s;

const DialUpConnection *findEntry(const QList<DialUpConnection> &connections, const QString &entry)
{
    // The entry's own connection only: a name that merely contains the entry's
    // ("ISP 2" for "ISP") is another connection, never to be adopted or hung up.
    for (const DialUpConnection &c : connections) {
        if (!c.entry.isEmpty() && c.entry == entry)
            return &c;
    }
    return nullptr;
}

} // namespace

Dialer::Dialer(DialUpDevice &device, ClientLink &link, QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_link(link)
{
}

Dialer::~Dialer() = default;

const Settings &Dialer::settings() const
{
    return m_settingsSource ? m_settingsSource() : m_ownSettings;
}

QString Dialer::selectedEntry(const Settings &s) const
{
    return s.pbookIndex >= 0 && s.pbookIndex < s.pbookentries.size() ? s.pbookentries.at(s.pbookIndex) : QString();
}

void Dialer::showStatus(const QString &text)
{
    Q_EMIT statusChanged(text);
}

void Dialer::setCursorBusy(bool busy)
{
    const int before = m_cursorDepth;
    m_cursorDepth = std::max(0, m_cursorDepth + (busy ? 1 : -1));
    if ((before == 0) != (m_cursorDepth == 0))
        Q_EMIT busyCursorChanged(m_cursorDepth > 0);
}

void Dialer::log(const QString &message)
{
    if (m_log)
        m_log(message);
}

void Dialer::sendState(const char *keyword, bool value)
{
    if (m_link.isConnected())
        m_link.sendLine(link::stateLine(keyword, value));
}

// ---- Dial ------------------------------------------------------------------------------

void Dialer::connectForRun(QObject *context, std::function<void(bool)> done)
{
    dial(context, std::move(done));
}

void Dialer::dial(QObject *context, std::function<void(bool connected)> done)
{
    if (m_closing) {
        if (done)
            QMetaObject::invokeMethod(
                context ? context : this, [done] { done(false); }, Qt::QueuedConnection);
        return;
    }
    m_waiting.append({context, context != nullptr, std::move(done)});
    startNext();
}

void Dialer::startNext()
{
    // One sequence at a time, and never while a hang-up could still take the line down.
    if (m_dialling || m_hangingUp || m_waiting.isEmpty())
        return;
    m_current = m_waiting.takeFirst();
    m_sequence = settings();
    m_dialling = true;
    sendState(link::kDunConnecting, true);
    m_dialled = false;
    sendState(link::kDunConnected, false);
    // An abort belongs to the sequence it interrupted; one left from a hang-up at Abort or
    // close must not spoil this one.
    m_dialAborted = false;

    bool ok = false;
    m_attempts = m_sequence.busyretries.trimmed().toInt(&ok);
    if (!ok || m_attempts < 1)
        m_attempts = 1; // a damaged value still tries once rather than not at all
    m_attempt = 1;
    connectOnce();
}

void Dialer::connectOnce()
{
    const QString entry = selectedEntry(m_sequence);
    if (entry.isEmpty()) {
        log(u"Dial-Up Networking error: Mo DUN connection selected."_s);
        QTimer::singleShot(0, this, [this] { afterAttempt(Attempt::Failed); });
        return;
    }
    m_device.openEntry(entry, this, [this, entry](const QString &error) {
        if (!error.isEmpty()) {
            log(u"Dial-Up Networking error: Failed to access DUN entry."_s);
            afterAttempt(Attempt::Failed);
            return;
        }
        // A failed listing only means nothing is known to be up.
        m_device.listConnections(this, [this, entry](const QList<DialUpConnection> &connections, const QString &) {
            if (findEntry(connections, entry)) {
                m_attemptDialled = false;
                showStatus(kConnected);
                afterAttempt(Attempt::Connected);
                return;
            }
            dialEntry(entry);
        });
    });
}

void Dialer::dialEntry(const QString &entry)
{
    setCursorBusy(true);
    m_serverDialled = true;
    m_attemptDialled = true;
    m_dialFailed = false;
    m_busyOrNoAnswer = false;
    showStatus(kConnecting);
    m_device.dial({entry, m_sequence.dunuser, m_sequence.dunpass}, this, [this](const DialOutcome &outcome) {
        if (!outcome.connected) {
            m_dialFailed = true;
            if (outcome.errorNumber == kLineBusyError || outcome.errorNumber == kNoAnswerError) {
                m_busyOrNoAnswer = true;
                hangUpNow([this] { endAttempt(); });
                return;
            }
            log(u"Dial-Up Networking Error/Message: "_s + outcome.errorText);
        }
        endAttempt();
    });
}

void Dialer::endAttempt()
{
    Attempt result = Attempt::Connected;
    if (!m_dialFailed) {
        showStatus(kConnected);
    } else {
        log(u"Dial-Up Networking Error: DUN connect could not be established."_s);
        result = m_busyOrNoAnswer ? Attempt::BusyOrNoAnswer : Attempt::Failed;
    }
    setCursorBusy(false);
    afterAttempt(result);
}

void Dialer::afterAttempt(Attempt result)
{
    if (result == Attempt::Connected && !m_dialAborted) {
        m_dialled = true;
        sendState(link::kDunConnected, true);
        finishDial();
        return;
    }
    if (m_dialAborted) {
        m_dialAborted = false;
        m_dialled = false;
        auto aborted = [this] {
            showStatus(kAborted);
            finishDial();
        };
        // The line came up after all, after the user aborted: it is not wanted.
        if (result == Attempt::Connected && m_attemptDialled) {
            hangUpNow(aborted);
            return;
        }
        aborted();
        return;
    }
    if (result == Attempt::BusyOrNoAnswer && m_attempt < m_attempts) {
        showStatus(kRedialing);
        ++m_attempt;
        connectOnce();
        return;
    }
    showStatus(kDisconnected);
    hangUpNow([this] { finishDial(); });
}

void Dialer::finishDial()
{
    m_dialling = false;
    sendState(link::kDunConnecting, false);
    const Request request = std::exchange(m_current, {});
    if (request.done && (!request.hasContext || request.context))
        request.done(m_dialled);
    startNext();
}

// ---- Hang up ----------------------------------------------------------------------------

void Dialer::hangUpNow()
{
    hangUpNow({});
}

void Dialer::hangUpNow(std::function<void()> then)
{
    if (then)
        m_afterHangUp.append(std::move(then));
    if (m_hangingUp)
        return; // the hang-up under way serves this request too
    m_hangingUp = true;
    m_disconnectTries = 0;
    setCursorBusy(true);
    showStatus(kDisconnecting);
    // The window shows the text before anything else happens.
    QTimer::singleShot(0, this, [this] {
        const QString entry = selectedEntry(settings());
        if (entry.isEmpty()) {
            hangUpEnd(true); // nothing to hang up
            return;
        }
        m_device.openEntry(entry, this, [this, entry](const QString &) {
            m_device.idle();
            hangUpFind(entry);
        });
    });
}

void Dialer::hangUpFind(const QString &entry)
{
    m_device.listConnections(this, [this, entry](const QList<DialUpConnection> &connections, const QString &) {
        const DialUpConnection *connection = findEntry(connections, entry);
        if (!connection) {
            hangUpEnd(true);
            return;
        }
        m_device.hangUp(connection->handle, this, [this, entry](const QString &error) {
            if (error.isEmpty()) {
                hangUpEnd(true);
                return;
            }
            // Still listed after a failed disconnect: try again, but not for ever.
            if (++m_disconnectTries >= kDisconnectTries) {
                log(u"Dial-Up Networking error: DUN connection could not be disconnected. "_s + error);
                hangUpEnd(false);
                return;
            }
            QTimer::singleShot(m_retryPause, this, [this, entry] { hangUpFind(entry); });
        });
    });
}

void Dialer::hangUpEnd(bool disconnected)
{
    if (disconnected) {
        m_dialled = false;
        m_serverDialled = false;
        showStatus(kDisconnected);
    } else {
        // The connection is still there; a later hang-up (end of run, close) tries again.
        showStatus(kConnected);
    }
    m_hangingUp = false;
    setCursorBusy(false);
    const QList<std::function<void()>> then = std::exchange(m_afterHangUp, {});
    for (const auto &step : then)
        step();
    startNext();
}

// ---- Commands ----------------------------------------------------------------------------

bool Dialer::abortDialling()
{
    const Settings &s = settings();
    if (!s.enabledun || !(m_dialling || (s.discdun && m_serverDialled)))
        return false;
    m_dialAborted = true;
    refuseWaiting();
    hangUpNow();
    return true;
}

void Dialer::hangUpAfterRun()
{
    // A request that waits for the line, or is dialling it, needs the connection.
    if (m_dialling || !m_waiting.isEmpty() || !m_serverDialled)
        return;
    hangUpNow();
}

void Dialer::hangUpForClose()
{
    m_closing = true;
    refuseWaiting();
    abortDialling();
}

void Dialer::refuseWaiting()
{
    const QList<Request> waiting = std::exchange(m_waiting, {});
    for (const Request &request : waiting) {
        if (request.done && (!request.hasContext || request.context)) {
            QObject *target = request.hasContext ? request.context.data() : this;
            QMetaObject::invokeMethod(
                target, [done = request.done] { done(false); }, Qt::QueuedConnection);
        }
    }
}

} // namespace pw::server
