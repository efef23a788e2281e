#pragma once

#include "store/dialupdevice.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <optional>

namespace pwtest {

// A dial-up layer for tests, scripted like a modem on a telephone line. Every answer comes
// from the event loop, as a real one's would. A connection being dialled is listed (as
// "Connecting") until its dial ends; hanging it up meanwhile makes the dial fail.
class FakeDialUp final : public pw::DialUpDevice
{
    Q_OBJECT

public:
    explicit FakeDialUp(QObject *parent = nullptr);

    static pw::DialOutcome busy();
    static pw::DialOutcome noAnswer();
    static pw::DialOutcome failure(const QString &text);

    // The phone book, and whether listing it fails.
    QStringList book;
    bool bookFails = false;
    // Entries that cannot be opened although they are in the book.
    QStringList inaccessible;
    // What the next dials do, in order; once used up, dials connect.
    QList<pw::DialOutcome> script;
    // The number of hang-ups still to come that fail, leaving the connection up.
    int failingHangUps = 0;
    // A dial waits for releaseDial() (or a hang-up of its connection).
    bool holdDials = false;

    // What was asked of the layer, in order: "open ENTRY", "list", "dial ENTRY", "idle",
    // "hangup HANDLE".
    QStringList calls;
    QList<pw::DialRequest> dials;
    QList<pw::DialUpConnection> active;

    // A connection that is up before anything is dialled.
    void bringUp(const QString &entry);
    bool isUp(const QString &entry) const;
    bool dialPending() const { return m_pending.has_value(); }
    void releaseDial();

    QStringList entries(QString *error = nullptr) const override;
    void openEntry(const QString &entry, QObject *context, Done done) override;
    void listConnections(QObject *context, Listed done) override;
    void dial(const pw::DialRequest &request, QObject *context, Dialled done) override;
    void hangUp(const QString &handle, QObject *context, Done done) override;
    void idle() override { calls.append(QStringLiteral("idle")); }

private:
    struct PendingDial
    {
        QString handle;
        pw::DialOutcome outcome;
        QPointer<QObject> context;
        Dialled done;
    };

    QString newHandle();
    void complete(PendingDial dial);

    int m_nextHandle = 1;
    std::optional<PendingDial> m_pending;
};

} // namespace pwtest
