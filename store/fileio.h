#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace pw {

// Largest data file the readers load. Anything bigger is refused with a clear error
// instead of being pulled into memory whole.
inline constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// Most records a reader keeps from one file; a damaged file cannot make a reader
// allocate without bound.
inline constexpr qsizetype kMaxRecords = 100000;

// How many times writelines/readlines and the shared-file helpers try before giving up.
inline constexpr int kFileRetries = 5;

// Holds the lock of a file shared by both programs: an exclusive flock() on the file
// "path.lock" beside it, against the other program, and a mutex per path against the
// other threads of this one. The kernel drops the lock when its holder dies, so no lock
// outlives a crash; the lock file itself stays, so two holders never lock different
// files of one name. Held briefly around an append or a read-modify-write; gives up
// after a bounded wait.
class FileLock
{
public:
    explicit FileLock(const QString &filePath, int timeoutMs = 5000);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool isLocked() const { return m_locked; }
    QString errorString() const { return m_error; }

private:
    std::shared_ptr<QMutex> m_threadLock;
    bool m_threadLocked = false;
    int m_fd = -1;
    bool m_locked = false;
    QString m_error;
};

// What a reader saw of a file, so that a later rewrite from memory can tell which
// bytes the other program appended in between.
struct FileSnapshot
{
    qint64 size = -1;
    QByteArray hash;

    static FileSnapshot of(const QByteArray &content);
    // The bytes appended to `content` since this snapshot, or nothing when the file
    // was rewritten (its beginning no longer matches) or is unchanged.
    QByteArray appendedSince(const QByteArray &content) const;
};

struct ReadResult
{
    enum Status { Ok, Missing, TooLarge, Failed };
    Status status = Failed;
    QByteArray content;
    QString error;

    bool ok() const { return status == Ok; }
};

// Reads a whole file of at most maxBytes.
ReadResult readFileBounded(const QString &path, qint64 maxBytes = kMaxDataFileBytes);

// Reads a file that both programs write, under its lock, so no half-written append is
// seen. When the lock cannot be had in time the file is read all the same.
ReadResult readSharedFile(const QString &path, qint64 maxBytes = kMaxDataFileBytes);

enum class Durability {
    Synced,   // on disk before the new file replaces the old: for the shared data files
    Unsynced, // left to the system: for page files and stored copies, written by the hundred
};

// Replaces a file atomically: readers see the old content or the new, never a part.
bool writeFileAtomic(const QString &path, const QByteArray &content, QString *error = nullptr,
                     Durability durability = Durability::Synced);

// Appends under the file's lock. When the file is missing or empty, `headerIfNew` is
// written first. A file whose last line lacks its end gets one, so the record starts
// on a line of its own.
bool appendLocked(const QString &path, const QByteArray &record, const QByteArray &headerIfNew = {},
                  QString *error = nullptr);

// Rewrites a shared file under its lock. `build` gets the file's current content
// (empty when missing) and returns the new content.
bool rewriteLocked(const QString &path, const std::function<QByteArray(const QByteArray &current)> &build,
                   QString *error = nullptr);

// Replaces a shared file atomically under its lock.
bool writeLocked(const QString &path, const QByteArray &content, QString *error = nullptr);

// Writes the lines, each ended by CR LF, replacing the file atomically (not synced to
// disk: page files are many and can be fetched again); retries a bounded number of times.
bool writelines(const QString &path, const QList<QByteArray> &lines, QString *error = nullptr);

// The lines of a text file (CR LF, CR or LF end a line); nothing when it does not
// exist. Retries a bounded number of times; `ok` is false when it gave up.
QList<QByteArray> readlines(const QString &path, bool *ok = nullptr, QString *error = nullptr);

// Creates the folder when missing, one level deep.
bool ensureFolder(const QString &path);

} // namespace pw
