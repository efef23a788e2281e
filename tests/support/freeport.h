#pragma once

#include <QTcpServer>

namespace pwtest {

// A loopback port that nothing listens on at the moment of asking.
inline quint16 freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace pwtest
