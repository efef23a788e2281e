#pragma once

#include "server/engine/clientlink.h"

#include <QStringList>

namespace pwtest {

// A client link that records every line the engine sends.
class RecordingLink final : public pw::server::ClientLink
{
public:
    bool connected = true;
    QStringList lines;
    QList<QStringList> sends; // one element per send call

    bool isConnected() const override { return connected; }
    void send(const QStringList &block) override
    {
        if (!connected)
            return;
        sends.append(block);
        lines += block;
    }
    int count(const QString &line) const { return int(lines.count(line)); }
};

} // namespace pwtest
