#include "enginefixture.h"

#include "server/engine/scheduler.h"
#include "store/clock.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// An engine over a data home with the known list "News", a scheduler over it, and a clock
// the test sets.
struct SchedulerFixture
{
    pwtest::EngineFixture f;
    pwtest::FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(21, 0))};
    pw::server::Scheduler scheduler{*f.engine, f.link};

    SchedulerFixture()
    {
        f.http.setHandler([](const pwtest::ScriptedHttpServer::Request &) {
            pwtest::ScriptedHttpServer::Response r;
            r.body = "page";
            return r;
        });
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/n"_s))});
        f.makeList(u"Sports"_s, {pwtest::urlEntry(f.http.url(u"/s"_s))});
    }

    // Runs one tick at `when` and lets any run it started end; returns the lists started.
    QStringList tickAt(const QDateTime &when)
    {
        clock.set(when);
        const qsizetype before = f.link.lines.size();
        scheduler.tick();
        QStringList started;
        // Each queued list says "TRANSFERACTIVE TRUE"; the run's lines tell which list.
        for (qsizetype i = before; i < f.link.lines.size(); ++i) {
            if (f.link.lines[i] == u"TRANSFERACTIVE TRUE"_s)
                started.append(u"run"_s);
        }
        f.waitForRunEnd();
        return started;
    }

    QList<pw::ScheduleRow> stored() const { return pw::settings::readSchedule(*pw::paths::openSettings()); }
};

QDateTime at(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second));
}

} // namespace

class TestScheduler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dailyEntryFiresOnceAndMovesToTheNextDay()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, u"News"_s, u"*"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 21, 4, 50)).size(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 5, 2)).size(), 1);
        QCOMPARE(s.tickAt(at(3, 7, 21, 5, 17)).size(), 0); // same minute: not again
        const pw::ScheduleRow row = s.scheduler.table().value(0);
        QCOMPARE(row.time, u"3/8/2026 9:05 PM"_s);
        QCOMPARE(row.lastRun, u"3/7/2026 9:05 PM"_s);
        QCOMPARE(s.stored(), s.scheduler.table());
        QVERIFY(s.f.link.lines.contains(u"SCHEDUPDATE"_s));
        QCOMPARE(s.f.http.requestCount("/n"), 1);
    }

    void intervalEntryKeepsItsCadence()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 10:00 AM"_s, u"News 30 Minute Interval"_s, u"*"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 10, 0, 40)).size(), 1);
        QCOMPARE(s.scheduler.table().value(0).time, u"3/7/2026 10:30 AM"_s);
        QCOMPARE(s.tickAt(at(3, 7, 10, 30, 5)).size(), 1);
        QCOMPARE(s.scheduler.table().value(0).time, u"3/7/2026 11:00 AM"_s);
    }

    void allWebBoxesRetrievesEveryList()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, u"All WebBoxes"_s, u"*"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 21, 5, 1)).size(), 2); // one queueing per list
        QCOMPARE(s.f.http.requests().size(), 2);
    }

    void entriesMissedWhileStoppedStartOnePerTick()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/6/2026 8:00 AM"_s, u"News"_s, u"*"_s},
                          {u"3/6/2026 9:00 AM"_s, u"Sports 60 Minute Interval"_s, u"*"_s},
                          {u"3/9/2026 9:00 AM"_s, u"News"_s, u"*"_s}});
        s.clock.set(at(3, 7, 12, 0, 3));
        s.scheduler.queueMissed();
        QCOMPARE(s.scheduler.missedCount(), 2);
        QCOMPARE(s.tickAt(at(3, 7, 12, 0, 3)).size(), 1);
        QCOMPARE(s.f.http.requestCount("/n"), 1);
        QCOMPARE(s.tickAt(at(3, 7, 12, 0, 18)).size(), 1);
        QCOMPARE(s.f.http.requestCount("/s"), 1);
        QCOMPARE(s.tickAt(at(3, 7, 12, 0, 33)).size(), 0);
        // Caught up entries go on from the moment they were caught up.
        QCOMPARE(s.scheduler.table()[0].time, u"3/8/2026 8:00 AM"_s);
        QCOMPARE(s.scheduler.table()[1].time, u"3/7/2026 1:00 PM"_s);
        QCOMPARE(s.scheduler.table()[2].time, u"3/9/2026 9:00 AM"_s);
    }

    void unknownListsAreLoggedAndMoveOn_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("log");
        QTest::newRow("daily") << u"Gone"_s << u"3/8/2026 9:05 PM"_s
                               << u"ERROR (Not Found) Scheduler Activated Daily (Gone)"_s;
        QTest::newRow("interval") << u"Gone 30 Minute Interval"_s << u"3/7/2026 9:35 PM"_s
                                  << u"ERROR (Not Found) Scheduler Activated (30 Minute Interval)"_s;
    }
    void unknownListsAreLoggedAndMoveOn()
    {
        QFETCH(QString, target);
        QFETCH(QString, next);
        QFETCH(QString, log);
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, target, u"*"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 21, 5, 9)).size(), 0);
        QCOMPARE(s.scheduler.table().value(0).time, next);
        QCOMPARE(s.f.logMessages(), QStringList{log});
    }

    // The machine sleeps from 9:04 to 9:07: the 9:05 entry starts once, at 9:07.
    void aMinuteWithoutATickIsCaughtUp()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, u"News"_s, u"*"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 21, 4, 55)).size(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 7, 10)).size(), 1);
        QCOMPARE(s.tickAt(at(3, 7, 21, 7, 25)).size(), 0);
        QCOMPARE(s.scheduler.table().value(0).time, u"3/8/2026 9:05 PM"_s);
    }

    // An older copy of the table written back by the client: the due time was served
    // already, so the entry moves on without a second run.
    void aServedDueTimeIsNotRunAgain()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, u"News"_s, u"3/7/2026 9:05 PM"_s}});
        QCOMPARE(s.tickAt(at(3, 7, 21, 6, 0)).size(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 6, 15)).size(), 0);
        QCOMPARE(s.scheduler.table().value(0).time, u"3/8/2026 9:05 PM"_s);
        QCOMPARE(s.f.http.requests().size(), 0);
    }

    void reloadKeepsMissedEntriesByTimeAndTarget()
    {
        SchedulerFixture s;
        const pw::ScheduleRow news{u"3/6/2026 8:00 AM"_s, u"News"_s, u"*"_s};
        const pw::ScheduleRow sports{u"3/6/2026 9:00 AM"_s, u"Sports"_s, u"*"_s};
        s.scheduler.load({news, sports});
        s.clock.set(at(3, 7, 12, 0));
        s.scheduler.queueMissed();
        // The client saved the table in another order, without the News entry.
        s.scheduler.load({{u"3/9/2026 7:00 AM"_s, u"News"_s, u"*"_s}, sports});
        QCOMPARE(s.scheduler.missedCount(), 1);
        QCOMPARE(s.tickAt(at(3, 7, 12, 0, 5)).size(), 1);
        QCOMPARE(s.f.http.requestCount("/s"), 1);
        QCOMPARE(s.f.http.requestCount("/n"), 0);
    }

    void invalidIntervalsNeverRun()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"3/7/2026 9:05 PM"_s, u"News 0 Minute Interval"_s, u"*"_s}});
        QCOMPARE(s.f.logMessages().size(), 1);
        s.clock.set(at(3, 7, 21, 30));
        s.scheduler.queueMissed();
        QCOMPARE(s.scheduler.missedCount(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 5, 0)).size(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 30, 0)).size(), 0);
        QCOMPARE(s.f.http.requests().size(), 0);
    }

    void unparseableTimesAreLeftAlone()
    {
        SchedulerFixture s;
        s.scheduler.load({{u"sometime"_s, u"News"_s, u"*"_s}});
        s.clock.set(at(3, 7, 21, 0));
        s.scheduler.queueMissed();
        QCOMPARE(s.scheduler.missedCount(), 0);
        QCOMPARE(s.tickAt(at(3, 7, 21, 0, 5)).size(), 0);
        QCOMPARE(s.scheduler.table().value(0).time, u"sometime"_s);
    }
};

QTEST_MAIN(TestScheduler)
#include "tst_scheduler.moc"
