#pragma once

#include "freeport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace pwtest {

// nginx from the system's packages serving a folder on 127.0.0.1, as a real web server
// for end-to-end tests. One process, in the foreground, with every path in a temporary
// folder.
class NginxServer
{
public:
    NginxServer()
    {
        const QString nginx = QStandardPaths::findExecutable(QStringLiteral("nginx"),
                                                             {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (nginx.isEmpty() || !m_dir.isValid())
            return;
        m_port = pwtest::freeLoopbackPort();
        QDir(m_dir.path()).mkdir(QStringLiteral("www"));
        const QByteArray t = QFile::encodeName(m_dir.path());
        QFile conf(m_dir.path() + QStringLiteral("/nginx.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return;
        conf.write("daemon off;\nmaster_process off;\nworker_processes 1;\npid " + t + "/nginx.pid;\nerror_log " + t
                   + "/error.log;\nevents { worker_connections 64; }\nhttp {\n access_log off;\n"
                     " client_body_temp_path "
                   + t + "/body;\n proxy_temp_path " + t
                   + "/proxy;\n"
                     " fastcgi_temp_path "
                   + t + "/fastcgi;\n uwsgi_temp_path " + t
                   + "/uwsgi;\n"
                     " scgi_temp_path "
                   + t + "/scgi;\n server {\n  listen 127.0.0.1:" + QByteArray::number(m_port) + ";\n  root " + t
                   + "/www;\n }\n}\n");
        conf.close();
        m_process.start(nginx, {QStringLiteral("-c"), conf.fileName(), QStringLiteral("-p"), m_dir.path()});
        if (!m_process.waitForStarted())
            return;
        m_running = QTest::qWaitFor(
            [this] {
                QTcpSocket s;
                s.connectToHost(QHostAddress::LocalHost, m_port);
                return s.waitForConnected(100);
            },
            5000);
    }

    ~NginxServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished();
    }

    bool isRunning() const { return m_running; }
    // The folder nginx serves.
    QString root() const { return m_dir.path() + QStringLiteral("/www"); }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path); }
    bool put(const QString &path, const QByteArray &content) const
    {
        QFile file(m_dir.path() + QStringLiteral("/www/") + path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_running = false;
};

} // namespace pwtest
