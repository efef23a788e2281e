// The NetworkManager dial-up layer: what it makes of nmcli's output, and how it behaves
// against a stand-in nmcli (a script answering from files) and without any nmcli at all.
#include "store/nmcli.h"
#include "store/nmdialup.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;
using Rows = QList<QStringList>;

namespace {

// A stand-in for nmcli: records its arguments and locale, keeps a copy of a passwd-file,
// and answers each kind of call from NAME.out, NAME.err and NAME.exit in its folder.
class StandInNmcli
{
public:
    StandInNmcli()
    {
        const QByteArray script = "#!/bin/sh\n"
                                  "dir='"
                                  + QFile::encodeName(m_dir.path())
                                  + "'\n"
                                    "printf '%s\\n' \"$*\" >> \"$dir/calls\"\n"
                                    "printf '%s\\n' \"$LC_ALL\" > \"$dir/locale\"\n"
                                    "prev=\n"
                                    "for a in \"$@\"; do\n"
                                    "  if [ \"$prev\" = passwd-file ]; then cp \"$a\" \"$dir/passwd\"; fi\n"
                                    "  prev=$a\n"
                                    "done\n"
                                    "case \"$*\" in\n"
                                    "  *'connection show --active'*) name=active ;;\n"
                                    "  *'connection show'*) name=profiles ;;\n"
                                    "  *'connection up'*) name=up ;;\n"
                                    "  *'connection down'*) name=down ;;\n"
                                    "  *) name=other ;;\n"
                                    "esac\n"
                                    "[ -f \"$dir/$name.out\" ] && cat \"$dir/$name.out\"\n"
                                    "[ -f \"$dir/$name.err\" ] && cat \"$dir/$name.err\" >&2\n"
                                    "[ -f \"$dir/$name.exit\" ] && exit \"$(cat \"$dir/$name.exit\")\"\n"
                                    "exit 0\n";
        write(u"nmcli"_s, script);
        QFile(path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString path() const { return m_dir.filePath(u"nmcli"_s); }

    // What the next calls of a kind print and end with.
    void answer(const QString &kind, const QByteArray &out, const QByteArray &err = {}, int exitCode = 0)
    {
        write(kind + u".out"_s, out);
        write(kind + u".err"_s, err);
        write(kind + u".exit"_s, QByteArray::number(exitCode));
    }

    QStringList calls() const { return QString::fromUtf8(read(u"calls"_s)).split(u'\n', Qt::SkipEmptyParts); }
    QByteArray locale() const { return read(u"locale"_s).trimmed(); }
    QByteArray passwdFile() const { return read(u"passwd"_s); }

private:
    void write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

const QByteArray kProfiles = "lo:u0:loopback\n"
                             "Zeta:u9:gsm\n"
                             "Home\\:Office:u3:802-3-ethernet\n"
                             "ISP:u2:gsm\n"
                             "Alpha:u5:pppoe\n";

// Runs one asynchronous call of the layer and waits for its answer.
template <typename T, typename Call> std::optional<T> answerOf(Call call)
{
    std::optional<T> result;
    QObject context;
    call(&context, [&result](const T &value) { result = value; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        return std::nullopt;
    return result;
}

std::optional<QString> opened(pw::NmDialUp &layer, const QString &entry)
{
    return answerOf<QString>([&](QObject *ctx, auto done) { layer.openEntry(entry, ctx, done); });
}

std::optional<pw::DialOutcome> dialled(pw::NmDialUp &layer, const pw::DialRequest &request)
{
    return answerOf<pw::DialOutcome>([&](QObject *ctx, auto done) { layer.dial(request, ctx, done); });
}

std::optional<QString> hungUp(pw::NmDialUp &layer, const QString &handle)
{
    return answerOf<QString>([&](QObject *ctx, auto done) { layer.hangUp(handle, ctx, done); });
}

struct Listing
{
    QList<pw::DialUpConnection> connections;
    QString error;
};

std::optional<Listing> listed(pw::NmDialUp &layer)
{
    std::optional<Listing> result;
    QObject context;
    layer.listConnections(&context, [&result](const QList<pw::DialUpConnection> &c, const QString &e) {
        result = Listing{c, e};
    });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        return std::nullopt;
    return result;
}

} // namespace

class TestNmDialUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseTerse_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("fields");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("plain") << QByteArray("Home:u1:gsm\nWork:u2:pppoe\n") << 3
                               << Rows{{u"Home"_s, u"u1"_s, u"gsm"_s}, {u"Work"_s, u"u2"_s, u"pppoe"_s}};
        QTest::newRow("escaped colon and backslash")
            << QByteArray("My\\:ISP:u1:gsm\nC\\\\D:u2:vpn\n") << 3
            << Rows{{u"My:ISP"_s, u"u1"_s, u"gsm"_s}, {u"C\\D"_s, u"u2"_s, u"vpn"_s}};
        QTest::newRow("other escapes stay") << QByteArray("a\\nb:c\n") << 2 << Rows{{u"a\\nb"_s, u"c"_s}};
        QTest::newRow("wrong field counts skipped")
            << QByteArray("a:b\na:b:c\na:b:c:d\n\n") << 3 << Rows{{u"a"_s, u"b"_s, u"c"_s}};
        QTest::newRow("empty fields") << QByteArray("::\n") << 3 << Rows{{QString(), QString(), QString()}};
        QTest::newRow("CR LF, no final line end")
            << QByteArray("a:b\r\nc:d") << 2 << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9:x\n") << 2 << Rows{{u"Café"_s, u"x"_s}};
        QTest::newRow("trailing backslash") << QByteArray("a:b\\\n") << 2 << Rows{{u"a"_s, u"b\\"_s}};
    }
    void parseTerse()
    {
        QFETCH(QByteArray, output);
        QFETCH(int, fields);
        QFETCH(Rows, rows);
        QCOMPARE(pw::nmcli::parseTerse(output, fields), rows);
    }

    void escapedValuesReadBack()
    {
        const QStringList values{u"a:b"_s, u"c\\:d"_s, u"\\"_s, u"::"_s, QString(), u"plain"_s};
        QStringList escaped;
        for (const QString &v : values)
            escaped.append(pw::nmcli::escapeTerse(v));
        const QByteArray line = escaped.join(u':').toUtf8() + '\n';
        QCOMPARE(pw::nmcli::parseTerse(line, int(values.size())), Rows{values});
    }

    void activeHandle_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("handle");
        QTest::newRow("active path") << u"/org/freedesktop/NetworkManager/ActiveConnection/12"_s << u"12"_s;
        QTest::newRow("bare number") << u"7"_s << u"7"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("ends in a slash") << u"/org/x/"_s << QString();
        QTest::newRow("not a number") << u"/org/x/12a"_s << QString();
        QTest::newRow("shell text") << u"7; rm -rf ~"_s << QString();
        QTest::newRow("too long") << u"/x/1234567890123456789"_s << QString();
    }
    void activeHandle()
    {
        QFETCH(QString, path);
        QFETCH(QString, handle);
        QCOMPARE(pw::nmcli::activeHandle(path), handle);
    }

    void dialOutcome_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("errors");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        const QByteArray hint = "\nHint: use 'journalctl -xe NM_CONNECTION=u1' to get more details.\n";
        QTest::newRow("up") << 0 << QByteArray() << true << 0 << QString();
        QTest::newRow("busy line") << 4 << "Error: Connection activation failed: The line is busy" + hint << false
                                   << 676 << u"Error 676: Connection activation failed: The line is busy"_s;
        QTest::newRow("no carrier") << 4
                                    << QByteArray("Error: Connection activation failed: No carrier could be "
                                                  "established\n")
                                    << false << 678
                                    << u"Error 678: Connection activation failed: No carrier could be established"_s;
        QTest::newRow("dial timed out") << 4
                                        << QByteArray("Error: Connection activation failed: The dialing request "
                                                      "timed out\n")
                                        << false << 678
                                        << u"Error 678: Connection activation failed: The dialing request timed out"_s;
        QTest::newRow("nmcli's wait ran out") << 3 << QByteArray("Error: Timeout expired (90 seconds)\n") << false
                                              << 678 << u"Error 678: Timeout expired (90 seconds)"_s;
        QTest::newRow("no dial tone") << 4 << QByteArray("Error: Connection activation failed: No dial tone\n") << false
                                      << 0 << u"Connection activation failed: No dial tone"_s;
        QTest::newRow("not running") << 8 << QByteArray("Error: NetworkManager is not running.\n") << false << 0
                                     << u"NetworkManager is not running."_s;
        QTest::newRow("nothing said") << 1 << QByteArray() << false << 0 << u"nmcli ended with exit status 1."_s;
    }
    void dialOutcome()
    {
        QFETCH(int, exitCode);
        QFETCH(QByteArray, errors);
        QFETCH(bool, connected);
        QFETCH(int, number);
        QFETCH(QString, text);
        const pw::DialOutcome outcome = pw::nmcli::dialOutcome(exitCode, errors);
        QCOMPARE(outcome.connected, connected);
        QCOMPARE(outcome.errorNumber, number);
        QCOMPARE(outcome.errorText, text);
    }

    // A machine without NetworkManager: every call says so, none fails silently or crashes.
    void withoutNmcli()
    {
        pw::NmDialUp layer(u"/nonexistent/pagewarden-test/nmcli"_s);
        QString error;
        QVERIFY(layer.entries(&error).isEmpty());
        QVERIFY2(error.startsWith(u"NetworkManager is not available: "_s), qPrintable(error));

        const auto open = opened(layer, u"ISP"_s);
        QVERIFY(open && open->startsWith(u"NetworkManager is not available: "_s));
        const auto list = listed(layer);
        QVERIFY(list && list->connections.isEmpty() && !list->error.isEmpty());
        const auto dial = dialled(layer, {u"ISP"_s, u"user"_s, u"secret"_s});
        QVERIFY(dial && !dial->connected);
        QVERIFY2(dial->errorText.startsWith(u"NetworkManager is not available: "_s), qPrintable(dial->errorText));
        QCOMPARE(dial->errorNumber, 0); // no redialling of a missing NetworkManager
        const auto hangUp = hungUp(layer, u"7"_s);
        QVERIFY(hangUp && !hangUp->isEmpty());
    }

    void networkManagerNotRunning()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, {}, "Error: NetworkManager is not running.\n", 8);
        pw::NmDialUp layer(nmcli.path());
        QString error;
        QVERIFY(layer.entries(&error).isEmpty());
        QCOMPARE(error, u"NetworkManager is not running."_s);
    }

    void phoneBookIsSortedWithoutLoopback()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        pw::NmDialUp layer(nmcli.path());
        QString error = u"x"_s;
        QCOMPARE(layer.entries(&error), (QStringList{u"Alpha"_s, u"Home:Office"_s, u"ISP"_s, u"Zeta"_s}));
        QVERIFY(error.isEmpty());
        QCOMPARE(nmcli.calls(), QStringList{u"-t -e yes -f NAME,UUID,TYPE connection show"_s});
        QCOMPARE(nmcli.locale(), QByteArray("C")); // messages are read in English
    }

    void activeConnections()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"active"_s, "ISP:ppp0:gsm:activated:/org/freedesktop/NetworkManager/ActiveConnection/7\n"
                                  "Wired\\:1:eth0:802-3-ethernet:activating:"
                                  "/org/freedesktop/NetworkManager/ActiveConnection/3\n"
                                  "Odd:x:y:z:not-a-path\n");
        pw::NmDialUp layer(nmcli.path());
        const auto list = listed(layer);
        QVERIFY(list);
        QCOMPARE(list->error, QString());
        const QList<pw::DialUpConnection> expected{
            {u"7"_s, u"ISP"_s, u"ppp0"_s, u"gsm"_s, u"activated"_s},
            {u"3"_s, u"Wired:1"_s, u"eth0"_s, u"802-3-ethernet"_s, u"activating"_s}};
        QCOMPARE(list->connections, expected);
        QCOMPARE(nmcli.calls(),
                 QStringList{u"-t -e yes -f NAME,DEVICE,TYPE,STATE,ACTIVE-PATH connection show --active"_s});
    }

    void openEntry()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(opened(layer, u"ISP"_s), std::optional<QString>(QString()));
        const auto unknown = opened(layer, u"Nowhere"_s);
        QVERIFY(unknown && unknown->contains(u"Nowhere"_s));
    }

    void dialHandsThePasswordOverInAFile()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        nmcli.answer(u"up"_s, "Connection successfully activated\n");
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(opened(layer, u"ISP"_s), std::optional<QString>(QString()));
        const auto dial = dialled(layer, {u"ISP"_s, u"user"_s, u"s3cret"_s});
        QVERIFY(dial && dial->connected);

        const QString call = nmcli.calls().last();
        QVERIFY2(call.startsWith(u"-w 90 connection up uuid u2 passwd-file "_s), qPrintable(call));
        QVERIFY(!call.contains(u"s3cret"_s)); // never on the command line
        QCOMPARE(nmcli.passwdFile(), QByteArray("gsm.password:s3cret\n"));
        const QString file = call.section(u' ', 7);
        QTRY_VERIFY(!QFile::exists(file)); // removed once nmcli has ended
    }

    void dialOfAProfileWithoutPasswordSetting()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(opened(layer, u"Home:Office"_s), std::optional<QString>(QString()));
        const auto dial = dialled(layer, {u"Home:Office"_s, u"user"_s, u"s3cret"_s});
        QVERIFY(dial && dial->connected);
        QCOMPARE(nmcli.calls().last(), u"-w 90 connection up uuid u3"_s);
        QVERIFY(nmcli.passwdFile().isEmpty());
    }

    void dialFailures_data()
    {
        QTest::addColumn<QByteArray>("errors");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("number");
        QTest::newRow("busy") << QByteArray("Error: Connection activation failed: The line is busy\n") << 4 << 676;
        QTest::newRow("no answer") << QByteArray("Error: Connection activation failed: No carrier could be "
                                                 "established\n")
                                   << 4 << 678;
        QTest::newRow("gone since the listing") << QByteArray("Error: NetworkManager is not running.\n") << 8 << 0;
    }
    void dialFailures()
    {
        QFETCH(QByteArray, errors);
        QFETCH(int, exitCode);
        QFETCH(int, number);
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        nmcli.answer(u"up"_s, {}, errors, exitCode);
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(opened(layer, u"ISP"_s), std::optional<QString>(QString()));
        const auto dial = dialled(layer, {u"ISP"_s, u"user"_s, u"s3cret"_s});
        QVERIFY(dial && !dial->connected);
        QCOMPARE(dial->errorNumber, number);
        QVERIFY(!dial->errorText.isEmpty());
    }

    void passwordWithALineBreakIsRefused()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"profiles"_s, kProfiles);
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(opened(layer, u"ISP"_s), std::optional<QString>(QString()));
        const auto dial = dialled(layer, {u"ISP"_s, u"user"_s, u"a\nvpn.secrets.password:b"_s});
        QVERIFY(dial && !dial->connected && !dial->errorText.isEmpty());
        QCOMPARE(nmcli.calls().filter(u"connection up"_s).size(), 0); // nmcli never ran
    }

    void hangUpNamesTheActiveConnection()
    {
        StandInNmcli nmcli;
        pw::NmDialUp layer(nmcli.path());
        QCOMPARE(hungUp(layer, u"7"_s), std::optional<QString>(QString()));
        QCOMPARE(nmcli.calls(),
                 QStringList{u"connection down apath /org/freedesktop/NetworkManager/ActiveConnection/7"_s});

        nmcli.answer(u"down"_s, {}, "Error: Connection deactivation failed.\n", 5);
        QCOMPARE(hungUp(layer, u"7"_s), std::optional<QString>(u"Connection deactivation failed."_s));

        // Anything but a number never reaches a command line.
        const auto odd = hungUp(layer, u"7 --help"_s);
        QVERIFY(odd && !odd->isEmpty());
        QCOMPARE(nmcli.calls().size(), 2);
    }

    // An answer for a caller that is gone is dropped.
    void answerForAGoneCallerIsDropped()
    {
        StandInNmcli nmcli;
        nmcli.answer(u"active"_s, "ISP:ppp0:gsm:activated:/org/freedesktop/NetworkManager/ActiveConnection/7\n");
        pw::NmDialUp layer(nmcli.path());
        bool called = false;
        {
            QObject context;
            layer.listConnections(&context,
                                  [&called](const QList<pw::DialUpConnection> &, const QString &) { called = true; });
        }
        const auto list = listed(layer); // a later call is answered; the earlier never
        QVERIFY(list && list->connections.size() == 1);
        QTRY_VERIFY(layer.findChildren<QProcess *>().isEmpty()); // both nmcli runs have ended
        QTest::qWait(10);
        QVERIFY(!called);
    }
};

QTEST_MAIN(TestNmDialUp)
#include "tst_nmdialup.moc"
