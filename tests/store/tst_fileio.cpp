#include "support/testhome.h"

#include "store/actionlog.h"
#include "store/fileio.h"
#include "store/webbox.h"

#include <QProcess>
#include <QSysInfo>
#include <QtTest>

#include <thread>

using namespace Qt::StringLiterals;

class TestFileIo : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<pwtest::TestHome> m_home;

    static QString helperPath() { return QCoreApplication::applicationDirPath() + u"/pw_append_helper"_s; }

private Q_SLOTS:
    void init() { m_home = std::make_unique<pwtest::TestHome>(); }
    void cleanup() { m_home.reset(); }

    void writelinesThenReadlines()
    {
        const QString path = m_home->path(u"page"_s);
        const QList<QByteArray> lines{"<html>", "", "caf\xc3\xa9 \xff\xfe", "</html>"};
        QVERIFY(pw::writelines(path, lines));
        QCOMPARE(pwtest::readAll(path), QByteArray("<html>\r\n\r\ncaf\xc3\xa9 \xff\xfe\r\n</html>\r\n"));
        bool ok = false;
        QCOMPARE(pw::readlines(path, &ok), lines);
        QVERIFY(ok);
        QVERIFY(QDir(m_home->path()).entryList(QDir::Files | QDir::Hidden).size() == 1); // no temporary left
    }

    void readlinesAcceptsEveryLineEnd()
    {
        const QString path = m_home->writeFile(u"mixed"_s, "a\r\nb\nc\rd");
        QCOMPARE(pw::readlines(path), (QList<QByteArray>{"a", "b", "c", "d"}));
    }

    void readlinesOfAMissingFileIsEmpty()
    {
        bool ok = false;
        QVERIFY(pw::readlines(m_home->path(u"none"_s), &ok).isEmpty());
        QVERIFY(ok);
    }

    // Root can write anywhere, so a directory stands where the file should be.
    void failuresAreBoundedAndReported()
    {
        const QString path = m_home->path(u"blocked"_s);
        QVERIFY(QDir().mkdir(path));
        QString error;
        QVERIFY(!pw::writelines(path, {"x"}, &error));
        QVERIFY(!error.isEmpty());

        bool ok = true;
        QVERIFY(pw::readlines(path, &ok, &error).isEmpty());
        QVERIFY(!ok);

        QVERIFY(!pw::appendLocked(path, "x", {}, &error));
        QVERIFY(!error.isEmpty());
    }

    void atomicRewriteReplacesWholeFile()
    {
        const QString path = m_home->writeFile(u"index"_s, "old content that is rather long\r\n");
        QVERIFY(pw::writeFileAtomic(path, "new\r\n"));
        QCOMPARE(pwtest::readAll(path), QByteArray("new\r\n"));
    }

    void staleLockIsRecovered()
    {
        // A lock left by a process that no longer exists must not block appends for ever.
        const QString path = m_home->path(u"error.log"_s);
        m_home->writeFile(u"error.log.lock"_s, "999999\npagewarden\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        QVERIFY(pw::appendLogEntry(path, {u"3/7/2026 9:05:12 PM"_s, u"after a crash"_s}));
        QCOMPARE(pw::loadLog(path).entries.size(), 1);
    }

    void lockExcludesAndIsReleased()
    {
        const QString path = m_home->path(u"News.wbx"_s);
        auto first = std::make_unique<pw::FileLock>(path);
        QVERIFY(first->isLocked());
        bool otherGotIt = true;
        QString otherError;
        std::thread other([&] {
            pw::FileLock second(path, 100);
            otherGotIt = second.isLocked();
            otherError = second.errorString();
        });
        other.join();
        QVERIFY(!otherGotIt);
        QVERIFY(!otherError.isEmpty());
        first.reset();
        QVERIFY(pw::FileLock(path, 0).isLocked());
    }

    void snapshotTellsWhatWasAppended()
    {
        const QByteArray before = "header\r\n";
        const pw::FileSnapshot snapshot = pw::FileSnapshot::of(before);
        QCOMPARE(snapshot.appendedSince(before + "more\r\n"), QByteArray("more\r\n"));
        QCOMPARE(snapshot.appendedSince(before), QByteArray());
        QCOMPARE(snapshot.appendedSince("HEADER\r\nmore\r\n"), QByteArray()); // rewritten, not appended
        QCOMPARE(pw::FileSnapshot().appendedSince("anything"), QByteArray());
    }

    // Other processes append to the log while this one prunes and rewrites it from its
    // copy, over and over: every appended entry survives, whole and once.
    void appendsFromOtherProcessesSurviveRewrites()
    {
        const QString path = m_home->path(u"error.log"_s);
        QVERIFY(QFile::exists(helperPath()));
        constexpr int kProcesses = 3;
        constexpr int kEach = 150;
        QList<QProcess *> helpers;
        for (int p = 0; p < kProcesses; ++p) {
            auto *helper = new QProcess(this);
            helper->start(helperPath(), {u"log"_s, path, u"p%1"_s.arg(p), QString::number(kEach)});
            QVERIFY(helper->waitForStarted());
            helpers.append(helper);
        }
        int rewrites = 0;
        auto allDone = [&helpers] {
            return std::all_of(helpers.begin(), helpers.end(),
                               [](QProcess *h) { return h->state() == QProcess::NotRunning; });
        };
        while (!allDone() || rewrites < 5) {
            const pw::LogRead loaded = pw::loadLog(path);
            QVERIFY(loaded.status == pw::LogRead::Ok);
            QVERIFY(pw::saveLog(path, loaded.entries, loaded.snapshot));
            ++rewrites;
            QCoreApplication::processEvents();
            QThread::msleep(2); // a user does not prune the log in a tight loop
        }
        for (QProcess *h : helpers) {
            QCOMPARE(h->exitStatus(), QProcess::NormalExit);
            QCOMPARE(h->exitCode(), 0);
        }
        const pw::LogRead final = pw::loadLog(path);
        QCOMPARE(final.skippedLines, 0);
        QSet<QString> messages;
        for (const pw::LogEntry &e : final.entries) {
            QCOMPARE(e.dateTime, u"3/7/2026 9:05:12 PM"_s);
            messages.insert(e.message);
        }
        QCOMPARE(final.entries.size(), kProcesses * kEach);
        QCOMPARE(messages.size(), kProcesses * kEach);
    }

    void appendsFromTwoProcessesInterleaveWholeRecords()
    {
        const QString path = m_home->path(u"News.wbx"_s);
        QProcess a, b;
        a.start(helperPath(), {u"webbox"_s, path, u"a"_s, u"200"_s});
        b.start(helperPath(), {u"webbox"_s, path, u"b"_s, u"200"_s});
        QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const pw::WebBoxRead read = pw::readWebBox(path, pw::ReaderSide::Server);
        QCOMPARE(read.entries.size(), 400);
        QVERIFY(!read.truncated);
        for (const pw::WebBoxEntry &e : read.entries)
            QCOMPARE(e.url, u"http://host/"_s + e.description);
        // One header only.
        QCOMPARE(pwtest::readAll(path).count("Norvane Software's Pagewarden"), 1);
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"
