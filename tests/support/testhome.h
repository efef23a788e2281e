#pragma once

#include "store/clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace pwtest {

// A fresh data home, config folder and runtime folder for one test, set in the
// environment the way both programs read it. Restores nothing: every test gets a new one.
class TestHome
{
public:
    TestHome()
    {
        QVERIFY2(m_dir.isValid(), "cannot create a temporary folder");
        for (const char *sub : {"home", "config", "data", "runtime"})
            QDir(m_dir.path()).mkdir(QString::fromLatin1(sub));
        qputenv("PAGEWARDEN_HOME", QFile::encodeName(path(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("runtime"))));
    }

    QString path(const QString &sub = {}) const { return sub.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + sub; }

    // Writes bytes to a file below the temporary folder and returns its path.
    QString writeFile(const QString &relative, const QByteArray &content) const
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile file(full);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(content);
        return full;
    }

private:
    QTemporaryDir m_dir;
};

// A clock that tells the time it was given.
class FixedClock final : public pw::Clock
{
public:
    explicit FixedClock(QDateTime now)
        : m_now(std::move(now))
    {
        pw::Clock::setInstance(this);
    }
    ~FixedClock() override { pw::Clock::setInstance(nullptr); }
    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace pwtest
