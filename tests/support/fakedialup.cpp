#include "fakedialup.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace pwtest {

namespace {

// Answers later, while the asker lives.
template <typename F> void later(QObject *context, QObject *fallback, F answer)
{
    QTimer::singleShot(0, context ? context : fallback, std::move(answer));
}

} // namespace

FakeDialUp::FakeDialUp(QObject *parent)
    : DialUpDevice(parent)
{
}

pw::DialOutcome FakeDialUp::busy()
{
    return {false, pw::kLineBusyError, u"Error 676: The line is busy"_s};
}

pw::DialOutcome FakeDialUp::noAnswer()
{
    return {false, pw::kNoAnswerError, u"Error 678: No carrier could be established"_s};
}

pw::DialOutcome FakeDialUp::failure(const QString &text)
{
    return {false, 0, text};
}

QString FakeDialUp::newHandle()
{
    return QString::number(m_nextHandle++);
}

void FakeDialUp::bringUp(const QString &entry)
{
    active.append({newHandle(), entry, u"ttyS0"_s, u"modem"_s, u"Connected"_s});
}

bool FakeDialUp::isUp(const QString &entry) const
{
    return std::any_of(active.cbegin(), active.cend(), [&entry](const pw::DialUpConnection &c) {
        return c.entry == entry && c.status == u"Connected"_s;
    });
}

QStringList FakeDialUp::entries(QString *error) const
{
    if (error)
        *error = bookFails ? u"The phone book cannot be read."_s : QString();
    return bookFails ? QStringList() : book;
}

void FakeDialUp::openEntry(const QString &entry, QObject *context, Done done)
{
    calls.append(u"open "_s + entry);
    const bool ok = !bookFails && book.contains(entry) && !inaccessible.contains(entry);
    later(context, this, [done, ok] { done(ok ? QString() : u"No such entry."_s); });
}

void FakeDialUp::listConnections(QObject *context, Listed done)
{
    calls.append(u"list"_s);
    later(context, this, [done, list = active] { done(list, {}); });
}

void FakeDialUp::dial(const pw::DialRequest &request, QObject *context, Dialled done)
{
    calls.append(u"dial "_s + request.entry);
    dials.append(request);
    PendingDial dial{newHandle(), script.isEmpty() ? pw::DialOutcome{true, 0, {}} : script.takeFirst(), context,
                     std::move(done)};
    active.append({dial.handle, request.entry, u"ttyS0"_s, u"modem"_s, u"Connecting"_s});
    if (holdDials) {
        m_pending = std::move(dial);
        return;
    }
    QPointer<FakeDialUp> self(this);
    later(context, this, [self, dial] {
        if (self)
            self->complete(dial);
    });
}

void FakeDialUp::releaseDial()
{
    if (m_pending)
        complete(*std::exchange(m_pending, std::nullopt));
}

void FakeDialUp::complete(PendingDial dial)
{
    for (qsizetype i = 0; i < active.size(); ++i) {
        if (active[i].handle != dial.handle)
            continue;
        if (dial.outcome.connected)
            active[i].status = u"Connected"_s;
        else
            active.removeAt(i);
        break;
    }
    if (dial.context)
        dial.done(dial.outcome);
}

void FakeDialUp::hangUp(const QString &handle, QObject *context, Done done)
{
    calls.append(u"hangup "_s + handle);
    if (failingHangUps > 0) {
        --failingHangUps;
        later(context, this, [done] { done(u"The connection could not be disconnected."_s); });
        return;
    }
    active.removeIf([&handle](const pw::DialUpConnection &c) { return c.handle == handle; });
    later(context, this, [done] { done({}); });
    // Hanging up a line that is being dialled ends the dial.
    if (m_pending && m_pending->handle == handle) {
        PendingDial dial = *std::exchange(m_pending, std::nullopt);
        dial.outcome = failure(u"The connection was cancelled while it was being dialled."_s);
        QPointer<FakeDialUp> self(this);
        later(this, this, [self, dial] {
            if (self)
                self->complete(dial);
        });
    }
}

} // namespace pwtest
