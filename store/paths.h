#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// Where everything lives. Directory paths end in "/".
namespace pw::paths {

// The directory of the running programs and their read-only resources;
// PAGEWARDEN_INSTALL replaces it (tests).
QString installDir();

// PAGEWARDEN_HOME when set; else the install directory when it is writable (a portable
// install); else $XDG_DATA_HOME/pagewarden. Both programs resolve it the same way.
QString dataHome();

QString dataDir();    // data home + "webdata/"
QString logDir();     // data home + "logdata/"
QString reportsDir(); // data home + "reports/"

QString logFile();          // "error.log" in the log directory
QString reportsIndexFile(); // "reports.dir" in the reports directory
QString treeIndexFile();    // "index.ctl" in the data directory
QString windowListFile();   // "window.lst" in the data directory

// A URL List's folder and files, from the name as stored in the WebBoxes list.
QString urlListFolder(const QString &dataDirectory, const QString &name);
QString urlListFile(const QString &dataDirectory, const QString &name);
QString webBoxFile(const QString &dataDirectory, const QString &name);

// Creates the data home and then the data, log and reports directories, each one level
// deep. Failures are silent: later file operations report them.
void createDataDirectories();

// $XDG_CONFIG_HOME/Norvane/Pagewarden.ini
QString settingsFile();

// A fresh settings object on the shared INI file, so a load sees what the other program
// wrote.
std::unique_ptr<QSettings> openSettings();

// The link's TCP port: 7465, or PAGEWARDEN_PORT when set to a valid port.
quint16 linkPort();

} // namespace pw::paths
