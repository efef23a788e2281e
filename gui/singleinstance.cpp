#include "singleinstance.h"

#include "store/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace pw::gui {

namespace {

QString runtimeDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir;
}

} // namespace

QString SingleInstance::key(const QString &program)
{
    const QByteArray identity =
        (paths::settingsFile() + u'\n' + paths::dataHome() + u'\n' + QString::number(paths::linkPort())).toUtf8();
    return program + u'-'
           + QString::fromLatin1(QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::SingleInstance(const QString &program, QObject *parent)
    : QObject(parent)
    , m_program(program)
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine().trimmed() == "3024")
                        Q_EMIT restoreRequested();
                }
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::becomePrimary()
{
    const QString name = key(m_program);
    m_lock = std::make_unique<QLockFile>(runtimeDir() + u'/' + name + u".lock"_s);
    m_lock->setStaleLockTime(0); // an instance holds it for its whole life
    if (!m_lock->tryLock(100))
        return false;
    QLocalServer::removeServer(name); // left over from a crash: we hold the lock now
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(name);
    return true;
}

bool SingleInstance::sendRestore(const QString &program)
{
    QLocalSocket socket;
    socket.connectToServer(key(program));
    if (!socket.waitForConnected(2000))
        return false;
    socket.write("3024\n");
    const bool ok = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return ok;
}

} // namespace pw::gui
