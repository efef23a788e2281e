#pragma once

#include "dialupdevice.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>

class QTemporaryFile;

namespace pw {

// The dial-up layer over NetworkManager, through its command-line client nmcli: the
// connection profiles are the phone book, the active connections are the connection list,
// "connection up" dials and "connection down" hangs up. Every call but the phone book runs
// nmcli without waiting for it. Without NetworkManager (or nmcli) the phone book is empty
// and every action fails with a message that says so.
class NmDialUp final : public DialUpDevice
{
    Q_OBJECT

public:
    // `program` is the nmcli to run; tests hand in a stand-in.
    explicit NmDialUp(QString program = QStringLiteral("nmcli"), QObject *parent = nullptr);
    ~NmDialUp() override;

    // The profiles' names sorted by name (then UUID), so a stored position keeps meaning the
    // same entry whichever connection is up; the loopback profile is no entry to dial.
    // Waits for nmcli, at most a few seconds.
    QStringList entries(QString *error = nullptr) const override;

    void openEntry(const QString &entry, QObject *context, Done done) override;
    void listConnections(QObject *context, Listed done) override;
    void dial(const DialRequest &request, QObject *context, Dialled done) override;
    void hangUp(const QString &handle, QObject *context, Done done) override;
    // NetworkManager needs no reset before a hang-up.
    void idle() override {}

private:
    struct Profile
    {
        QString name;
        QString uuid;
        QString type;
    };
    struct Result
    {
        bool ran = false; // started and ended normally
        int exitCode = -1;
        QByteArray output;
        QByteArray errors;
        QString failure; // why it did not run or did not end
    };
    using Finished = std::function<void(const Result &)>;

    static QList<Profile> parseProfiles(const QByteArray &output);
    static QString failureText(const Result &result);
    // Runs nmcli; `done` gets the result later, while `context` lives. `attachment` is
    // removed when nmcli has ended.
    void run(const QStringList &args, QObject *context, Finished done, QTemporaryFile *attachment = nullptr);

    QString m_program;
    QList<Profile> m_profiles; // from the last listing: the UUID and type of the entry dialled
};

} // namespace pw
