#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

namespace pw::gui {

// One instance of a program per settings file, data home and port: a lock file and a
// local server, both named from the program and a hash of the three, so isolated tests
// never meet each other or a real instance. Another instance (or the other program) asks
// the running one to restore its window with the line "3024".
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &program, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and starts listening; false when another instance runs.
    bool becomePrimary();

    // Asks the running instance of `program` to restore its window.
    static bool sendRestore(const QString &program);
    static QString key(const QString &program);

Q_SIGNALS:
    void restoreRequested();

private:
    QString m_program;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

} // namespace pw::gui
