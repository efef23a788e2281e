#include "serverstarter.h"

#include "serverlink.h"

#include "store/paths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace pw::client {

void waitWithEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

ServerStarter::ServerStarter(ServerLink &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
}

QString ServerStarter::serverProgram()
{
    return paths::installDir() + u"wardserv"_s;
}

bool ServerStarter::serverExists()
{
    const QFileInfo info(serverProgram());
    return info.isFile() && info.isExecutable();
}

QList<int> ServerStarter::defaultRetryPauses()
{
    return {250, 500, 750, 1000, 1500, 2000, 3000, 5000, 7000, 9000};
}

ServerStarter::Result ServerStarter::connectOrStart()
{
    if (!serverExists())
        return Result::ServerMissing;
    if (m_link.serverconnect())
        return Result::Connected;

    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    Q_EMIT serverStarting();
    QProcess::startDetached(serverProgram(), {u"--minimized"_s}, {}, &m_startedPid);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    for (const int pause : std::as_const(m_pauses)) {
        waitWithEvents(pause);
        if (m_link.serverconnect())
            return Result::Connected;
    }
    return Result::NoAnswer;
}

} // namespace pw::client
