#pragma once

#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace pwtest {

// A certificate authority made for one test, and a server certificate it signed for
// 127.0.0.1 and localhost. Nothing is trusted system-wide: a client trusts the CA through
// its own SSL configuration.
class TestCertificateAuthority
{
public:
    TestCertificateAuthority()
    {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty() || !m_dir.isValid())
            return;
        const QString d = m_dir.path() + u'/';
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.setWorkingDirectory(m_dir.path());
            p.start(openssl, args);
            return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };
        const QStringList ec{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                             QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        QFile ext(d + QStringLiteral("ext.cnf"));
        if (!ext.open(QIODevice::WriteOnly))
            return;
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
        ext.close();
        m_ok = run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec
                   + QStringList{QStringLiteral("-keyout"), d + QStringLiteral("ca.key"), QStringLiteral("-out"),
                                 d + QStringLiteral("ca.crt"), QStringLiteral("-days"), QStringLiteral("2"),
                                 QStringLiteral("-subj"), QStringLiteral("/CN=Pagewarden Test CA")})
               && run(QStringList{QStringLiteral("req")} + ec
                      + QStringList{QStringLiteral("-keyout"), d + QStringLiteral("server.key"), QStringLiteral("-out"),
                                    d + QStringLiteral("server.csr"), QStringLiteral("-subj"),
                                    QStringLiteral("/CN=127.0.0.1")})
               && run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                       d + QStringLiteral("server.csr"), QStringLiteral("-CA"), d + QStringLiteral("ca.crt"),
                       QStringLiteral("-CAkey"), d + QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
                       QStringLiteral("-out"), d + QStringLiteral("server.crt"), QStringLiteral("-days"),
                       QStringLiteral("2"), QStringLiteral("-extfile"), d + QStringLiteral("ext.cnf")});
        if (!m_ok)
            return;
        m_ca = QSslCertificate::fromPath(d + QStringLiteral("ca.crt"));
        const QList<QSslCertificate> server = QSslCertificate::fromPath(d + QStringLiteral("server.crt"));
        QFile keyFile(d + QStringLiteral("server.key"));
        m_ok = !m_ca.isEmpty() && !server.isEmpty() && keyFile.open(QIODevice::ReadOnly);
        if (!m_ok)
            return;
        m_server = QSslConfiguration::defaultConfiguration();
        m_server.setLocalCertificate(server.first());
        m_server.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Ec));
        m_server.setPeerVerifyMode(QSslSocket::VerifyNone);
    }

    bool isValid() const { return m_ok; }
    // For the server side of a test.
    QSslConfiguration serverConfiguration() const { return m_server; }
    // A client configuration that trusts the system's CAs and this one.
    QSslConfiguration trustingClientConfiguration() const
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(m_ca);
        return config;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
    QList<QSslCertificate> m_ca;
    QSslConfiguration m_server;
};

} // namespace pwtest
