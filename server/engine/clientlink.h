#pragma once

#include <QString>
#include <QStringList>

namespace pw::server {

// The server's side of the link as the engine sees it. All calls happen on the main
// thread; failures to send are the implementation's to swallow.
class ClientLink
{
public:
    virtual ~ClientLink() = default;

    // A client is connected and has not said goodbye.
    virtual bool isConnected() const = 0;

    // Sends the lines in one go, each followed by "\n", so the lines of an update block
    // never interleave with anything else. Nothing is sent when not connected.
    virtual void send(const QStringList &lines) = 0;

    void sendLine(const QString &line) { send(QStringList{line}); }
};

// A link with nobody on the other end.
class NoClientLink final : public ClientLink
{
public:
    bool isConnected() const override { return false; }
    void send(const QStringList &) override {}
};

} // namespace pw::server
