#pragma once

#include "support/testhome.h"

#include "gui/prompt.h"
#include "store/paths.h"
#include "store/webboxeslist.h"

#include <QDir>
#include <QFile>

namespace pwtest {

// A home with a link port and, optionally, a stand-in server program beside the client
// so the start does not go looking for the real one.
struct ClientHome
{
    explicit ClientHome(quint16 port, bool withServerProgram = true)
    {
        qputenv("PAGEWARDEN_PORT", QByteArray::number(port));
        QDir().mkpath(home.path(QStringLiteral("install")));
        if (withServerProgram) {
            const QString program = home.writeFile(QStringLiteral("install/wardserv"), "#!/bin/sh\nexit 0\n");
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(home.path(QStringLiteral("install"))));
        pw::gui::Prompt::clearShown();
    }
    ~ClientHome()
    {
        qunsetenv("PAGEWARDEN_INSTALL");
        qunsetenv("PAGEWARDEN_PORT");
    }

    // URL Lists: a folder each, and the names in the settings store.
    void addLists(const QStringList &names) const
    {
        for (const QString &name : names)
            QDir().mkpath(pw::paths::dataDir() + name);
        auto store = pw::paths::openSettings();
        pw::saveWebBoxesList(*store, names);
    }
    void writeIndex(const QByteArray &content) const
    {
        QDir().mkpath(pw::paths::dataDir());
        home.writeFile(QStringLiteral("home/webdata/index.ctl"), content);
    }

    pwtest::TestHome home;
};

} // namespace pwtest
