#pragma once

#include "support/httpserver.h"
#include "support/recordinglink.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "server/engine/runengine.h"
#include "store/actionlog.h"
#include "store/dialup.h"
#include "store/paths.h"
#include "store/reports.h"
#include "store/settings.h"
#include "store/urllist.h"
#include "store/webbox.h"

#include <QSignalSpy>
#include <QtTest>

namespace pwtest {

// A data home, a scripted web server, a recording client and an engine over them.
struct EngineFixture
{
    TestHome home;
    ScriptedHttpServer http;
    RecordingLink link;
    pw::Settings settings;
    std::unique_ptr<pw::server::RunEngine> engine;

    EngineFixture()
    {
        auto store = pw::paths::openSettings();
        settings = pw::settings::load(*store, pw::EmptyPhoneBook());
        engine = std::make_unique<pw::server::RunEngine>(link);
        engine->setSettings(settings);
        engine->setWatchInterval(50);
        engine->setListSaveInterval(50);
    }

    void applySettings() { engine->setSettings(settings); }

    QString dataDir() const { return pw::paths::dataDir(); }

    void makeList(const QString &name, const QList<pw::UrlEntry> &entries)
    {
        QVERIFY(pw::writeUrlList(dataDir(), name, entries));
        QStringList known = engine->knownLists();
        if (!known.contains(name))
            known.append(name);
        engine->setKnownLists(known);
    }

    // Runs until the run ends.
    bool waitForRunEnd(int timeoutMs = 30000)
    {
        if (!engine->transferActive())
            return true;
        QSignalSpy finished(engine.get(), &pw::server::RunEngine::runFinished);
        return finished.wait(timeoutMs);
    }

    bool retrieve(const QString &name, int timeoutMs = 30000)
    {
        QSignalSpy finished(engine.get(), &pw::server::RunEngine::runFinished);
        engine->queuelist(name);
        if (!engine->transferActive())
            return false;
        return finished.count() > 0 || finished.wait(timeoutMs);
    }

    QStringList logMessages() const
    {
        QStringList out;
        for (const pw::LogEntry &e : pw::loadLog(pw::paths::logFile()).entries)
            out.append(e.message);
        return out;
    }

    QList<pw::WebBoxEntry> webBox(const QString &name) const
    {
        return pw::readWebBox(pw::paths::webBoxFile(dataDir(), name), pw::ReaderSide::Server).entries;
    }

    QList<pw::UrlEntry> listFile(const QString &name) const
    {
        return pw::readUrlList(pw::paths::urlListFile(dataDir(), name), pw::ReaderSide::Client).entries;
    }

    // The report lines of the newest report of a list.
    QStringList reportLines(const QString &name) const
    {
        const auto index = pw::readReportsIndex(pw::paths::reportsIndexFile());
        for (qsizetype i = index.records.size() - 1; i >= 0; --i) {
            if (index.records[i].listName != name)
                continue;
            const QList<QByteArray> lines = readAll(index.records[i].fileLocation).split('\n');
            QStringList body;
            for (qsizetype l = 4; l < lines.size(); ++l) {
                const QString line = QString::fromUtf8(lines[l]).trimmed();
                if (line.startsWith(QStringLiteral("____")))
                    break;
                body.append(line);
            }
            return body;
        }
        return {};
    }
};

} // namespace pwtest
