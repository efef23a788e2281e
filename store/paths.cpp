#include "paths.h"

#include "fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace pw::paths {

namespace {

QString withSlash(QString path)
{
    path = QDir::cleanPath(path);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString envPath(const char *name)
{
    return qEnvironmentVariableIsEmpty(name) ? QString() : qEnvironmentVariable(name);
}

} // namespace

QString installDir()
{
    if (const QString overridden = envPath("PAGEWARDEN_INSTALL"); !overridden.isEmpty())
        return withSlash(QDir(overridden).absolutePath());
    if (QCoreApplication::instance())
        return withSlash(QCoreApplication::applicationDirPath());
    return withSlash(QDir::currentPath());
}

QString dataHome()
{
    if (const QString home = envPath("PAGEWARDEN_HOME"); !home.isEmpty())
        return withSlash(QDir(home).absolutePath());
    const QString install = installDir();
    if (QFileInfo(install).isWritable())
        return install;
    QString xdg = envPath("XDG_DATA_HOME");
    if (xdg.isEmpty())
        xdg = QDir::homePath() + u"/.local/share"_s;
    return withSlash(xdg + u"/pagewarden"_s);
}

QString dataDir()
{
    return dataHome() + u"webdata/"_s;
}

QString logDir()
{
    return dataHome() + u"logdata/"_s;
}

QString reportsDir()
{
    return dataHome() + u"reports/"_s;
}

QString logFile()
{
    return logDir() + u"error.log"_s;
}

QString reportsIndexFile()
{
    return reportsDir() + u"reports.dir"_s;
}

QString treeIndexFile()
{
    return dataDir() + u"index.ctl"_s;
}

QString windowListFile()
{
    return dataDir() + u"window.lst"_s;
}

QString urlListFolder(const QString &dataDirectory, const QString &name)
{
    return withSlash(dataDirectory) + name + u'/';
}

QString urlListFile(const QString &dataDirectory, const QString &name)
{
    return urlListFolder(dataDirectory, name) + name + u".lst"_s;
}

QString webBoxFile(const QString &dataDirectory, const QString &name)
{
    return urlListFolder(dataDirectory, name) + name + u".wbx"_s;
}

void createDataDirectories()
{
    // The data home itself may be a fresh XDG folder; below it, one level each.
    QDir().mkpath(dataHome());
    ensureFolder(dataDir());
    ensureFolder(logDir());
    ensureFolder(reportsDir());
}

QString settingsFile()
{
    QString config = envPath("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + u"/.config"_s;
    return QDir::cleanPath(config) + u"/Norvane/Pagewarden.ini"_s;
}

std::unique_ptr<QSettings> openSettings()
{
    auto settings = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
    settings->setFallbacksEnabled(false);
    return settings;
}

quint16 linkPort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("PAGEWARDEN_PORT", &ok);
    if (ok && port > 0 && port <= 65535)
        return quint16(port);
    return 7465;
}

} // namespace pw::paths
