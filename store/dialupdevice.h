#pragma once

#include "dialup.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace pw {

// The system's error numbers that make the server dial again.
inline constexpr int kLineBusyError = 676;
inline constexpr int kNoAnswerError = 678;

// One active connection as the dial-up layer lists it.
struct DialUpConnection
{
    QString handle; // decimal; what a hang-up names
    QString entry;  // the phone book entry it belongs to
    QString deviceName;
    QString deviceType;
    QString status;

    friend bool operator==(const DialUpConnection &, const DialUpConnection &) = default;
};

struct DialRequest
{
    QString entry;
    QString user;
    QString password;
};

struct DialOutcome
{
    bool connected = false;
    int errorNumber = 0; // kLineBusyError, kNoAnswerError, or 0 for anything else
    QString errorText;   // carries the number when there is one
};

// The dial-up layer: the phone book, the active connections, dialling and hanging up.
// Everything but the phone book answers later, on the event loop: never inside the call,
// and only while `context` is alive. Dialling can take a minute; nothing here waits for it.
class DialUpDevice : public QObject, public PhoneBook
{
    Q_OBJECT

public:
    using Done = std::function<void(const QString &error)>; // empty error: it worked
    using Listed = std::function<void(const QList<DialUpConnection> &connections, const QString &error)>;
    using Dialled = std::function<void(const DialOutcome &outcome)>;

    explicit DialUpDevice(QObject *parent = nullptr);

    // Makes `entry` the one to dial; fails when the phone book has no such entry.
    virtual void openEntry(const QString &entry, QObject *context, Done done) = 0;
    virtual void listConnections(QObject *context, Listed done) = 0;
    virtual void dial(const DialRequest &request, QObject *context, Dialled done) = 0;
    virtual void hangUp(const QString &handle, QObject *context, Done done) = 0;
    // Puts the layer back at rest before a hang-up; failures do not matter.
    virtual void idle() = 0;
};

} // namespace pw
