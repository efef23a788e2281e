#include "nmdialup.h"

#include "nmcli.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace pw {

namespace {

constexpr int kListWaitMs = 5000;
// How long "connection up" may take before nmcli gives up; a modem call with its
// negotiation fits well within it.
const QString kDialWaitSeconds = u"90"_s;
const QString kActivePathPrefix = u"/org/freedesktop/NetworkManager/ActiveConnection/"_s;

const QStringList kProfileArgs{u"-t"_s, u"-e"_s, u"yes"_s, u"-f"_s, u"NAME,UUID,TYPE"_s, u"connection"_s, u"show"_s};
const QStringList kActiveArgs{
    u"-t"_s,         u"-e"_s,   u"yes"_s,     u"-f"_s, u"NAME,DEVICE,TYPE,STATE,ACTIVE-PATH"_s,
    u"connection"_s, u"show"_s, u"--active"_s};

// nmcli's messages are read for NetworkManager's reasons: keep them in English.
QProcessEnvironment englishEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C"_s);
    env.insert(u"LANG"_s, u"C"_s);
    env.remove(u"LANGUAGE"_s);
    return env;
}

// The secret that carries the dial-up password, by profile type; other profiles keep the
// secrets NetworkManager already has.
QString passwordProperty(const QString &type)
{
    if (type == u"gsm"_s || type == u"bluetooth"_s)
        return u"gsm.password"_s;
    if (type == u"cdma"_s)
        return u"cdma.password"_s;
    if (type == u"pppoe"_s)
        return u"pppoe.password"_s;
    if (type == u"vpn"_s)
        return u"vpn.secrets.password"_s;
    return {};
}

QString notAvailable(const QString &why)
{
    return u"NetworkManager is not available: "_s + why;
}

} // namespace

NmDialUp::NmDialUp(QString program, QObject *parent)
    : DialUpDevice(parent)
    , m_program(std::move(program))
{
}

NmDialUp::~NmDialUp() = default;

QList<NmDialUp::Profile> NmDialUp::parseProfiles(const QByteArray &output)
{
    QList<Profile> profiles;
    for (const QStringList &row : nmcli::parseTerse(output, 3)) {
        if (row[0].isEmpty() || row[2] == u"loopback"_s)
            continue;
        profiles.append({row[0], row[1], row[2]});
    }
    std::stable_sort(profiles.begin(), profiles.end(), [](const Profile &a, const Profile &b) {
        return a.name != b.name ? a.name < b.name : a.uuid < b.uuid;
    });
    return profiles;
}

QString NmDialUp::failureText(const Result &result)
{
    if (!result.ran)
        return notAvailable(result.failure);
    const QString message = nmcli::errorMessage(result.errors);
    return message.isEmpty() ? u"nmcli ended with exit status %1."_s.arg(result.exitCode) : message;
}

QStringList NmDialUp::entries(QString *error) const
{
    if (error)
        error->clear();
    QProcess process;
    process.setProcessEnvironment(englishEnvironment());
    process.start(m_program, kProfileArgs);
    QString failure;
    if (!process.waitForStarted(kListWaitMs)) {
        failure = notAvailable(u"nmcli could not be run ("_s + process.errorString() + u")."_s);
    } else if (!process.waitForFinished(kListWaitMs)) {
        process.kill();
        process.waitForFinished(1000);
        failure = notAvailable(u"nmcli did not answer."_s);
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        Result result{true, process.exitCode(), {}, process.readAllStandardError(), {}};
        failure = failureText(result);
    }
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return {};
    }
    QStringList names;
    for (const Profile &p : parseProfiles(process.readAllStandardOutput()))
        names.append(p.name);
    return names;
}

void NmDialUp::run(const QStringList &args, QObject *context, Finished done, QTemporaryFile *attachment)
{
    auto *process = new QProcess(this);
    if (attachment)
        attachment->setParent(process);
    process->setProcessEnvironment(englishEnvironment());
    QPointer<QObject> guard(context ? context : this);
    auto answered = std::make_shared<bool>(false);
    // One answer per call, always from the event loop, never from inside start().
    auto answer = [this, process, guard, answered, done](const Result &result) {
        if (*answered)
            return;
        *answered = true;
        process->disconnect(this);
        process->deleteLater();
        QTimer::singleShot(0, this, [guard, done, result] {
            if (guard)
                done(result);
        });
    };
    connect(process, &QProcess::finished, this, [process, answer](int exitCode, QProcess::ExitStatus status) {
        Result result;
        result.ran = status == QProcess::NormalExit;
        result.exitCode = exitCode;
        result.output = process->readAllStandardOutput();
        result.errors = process->readAllStandardError();
        if (!result.ran)
            result.failure = u"nmcli ended abnormally."_s;
        answer(result);
    });
    connect(process, &QProcess::errorOccurred, this, [process, answer](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // the end follows as "finished"
        Result result;
        result.failure = u"nmcli could not be run ("_s + process->errorString() + u")."_s;
        answer(result);
    });
    process->start(m_program, args);
}

void NmDialUp::openEntry(const QString &entry, QObject *context, Done done)
{
    run(kProfileArgs, context, [this, entry, done](const Result &result) {
        if (!result.ran || result.exitCode != 0) {
            done(failureText(result));
            return;
        }
        m_profiles = parseProfiles(result.output);
        const bool known =
            std::any_of(m_profiles.cbegin(), m_profiles.cend(), [&entry](const Profile &p) { return p.name == entry; });
        done(known ? QString() : u"NetworkManager has no connection named \""_s + entry + u"\"."_s);
    });
}

void NmDialUp::listConnections(QObject *context, Listed done)
{
    run(kActiveArgs, context, [done](const Result &result) {
        if (!result.ran || result.exitCode != 0) {
            done({}, failureText(result));
            return;
        }
        QList<DialUpConnection> connections;
        for (const QStringList &row : nmcli::parseTerse(result.output, 5)) {
            const QString handle = nmcli::activeHandle(row[4]);
            if (handle.isEmpty())
                continue; // nothing a hang-up could name
            connections.append({handle, row[0], row[1], row[2], row[3]});
        }
        done(connections, {});
    });
}

void NmDialUp::dial(const DialRequest &request, QObject *context, Dialled done)
{
    const auto profile = std::find_if(m_profiles.cbegin(), m_profiles.cend(),
                                      [&request](const Profile &p) { return p.name == request.entry; });
    QStringList args{u"-w"_s, kDialWaitSeconds, u"connection"_s, u"up"_s};
    if (profile != m_profiles.cend() && !profile->uuid.isEmpty())
        args << u"uuid"_s << profile->uuid; // exact, even when two profiles share a name
    else
        args << u"id"_s << request.entry;

    // The password goes in a file only this user can read, never on the command line where
    // every user could see it. NetworkManager takes the user name from the profile.
    QTemporaryFile *secrets = nullptr;
    const QString property = profile != m_profiles.cend() ? passwordProperty(profile->type) : QString();
    if (!property.isEmpty() && !request.password.isEmpty()) {
        if (request.password.contains(u'\n') || request.password.contains(u'\r')) {
            QTimer::singleShot(0, context ? context : this, [done] {
                done({false, 0, u"The dial-up password holds a line break and cannot be handed to NetworkManager."_s});
            });
            return;
        }
        QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::tempPath();
        secrets = new QTemporaryFile(folder + u"/pagewarden-dialup-XXXXXX"_s);
        if (!secrets->open()) {
            delete secrets;
            QTimer::singleShot(0, context ? context : this, [done] {
                done({false, 0, u"The dial-up password could not be handed to NetworkManager."_s});
            });
            return;
        }
        secrets->write((property + u':' + request.password + u'\n').toUtf8());
        secrets->flush();
        args << u"passwd-file"_s << secrets->fileName();
    }
    run(
        args, context,
        [done](const Result &result) {
            if (!result.ran) {
                done({false, 0, failureText(result)});
                return;
            }
            done(nmcli::dialOutcome(result.exitCode, result.errors));
        },
        secrets);
}

void NmDialUp::hangUp(const QString &handle, QObject *context, Done done)
{
    if (nmcli::activeHandle(handle) != handle) {
        QTimer::singleShot(0, context ? context : this,
                           [done, handle] { done(u"\""_s + handle + u"\" names no active connection."_s); });
        return;
    }
    run({u"connection"_s, u"down"_s, u"apath"_s, kActivePathPrefix + handle}, context,
        [done](const Result &result) { done(result.ran && result.exitCode == 0 ? QString() : failureText(result)); });
}

} // namespace pw
