#include "fileio.h"

#include "textlines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

#include <filesystem>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace pw {

namespace {

constexpr int kRetryPauseMs = 20;

void pauseBeforeRetry(int attempt)
{
    if (attempt + 1 < kFileRetries)
        QThread::msleep(kRetryPauseMs);
}

std::shared_ptr<QMutex> threadLockFor(const QString &filePath)
{
    static QMutex registryMutex;
    static QHash<QString, std::weak_ptr<QMutex>> registry;
    QMutexLocker locker(&registryMutex);
    std::weak_ptr<QMutex> &slot = registry[filePath];
    std::shared_ptr<QMutex> mutex = slot.lock();
    if (!mutex) {
        mutex = std::make_shared<QMutex>();
        slot = mutex;
    }
    return mutex;
}

} // namespace

FileLock::FileLock(const QString &filePath, int timeoutMs)
    : m_threadLock(threadLockFor(filePath))
{
    QElapsedTimer waited;
    waited.start();
    m_threadLocked = m_threadLock->tryLock(timeoutMs);
    if (!m_threadLocked) {
        m_error = u"the file is busy in this program"_s;
        return;
    }
    const QByteArray lockPath = QFile::encodeName(filePath + u".lock"_s);
    m_fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        m_error = u"the lock file cannot be created: %1"_s.arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    // A holder keeps the lock for milliseconds: poll often rather than block without end.
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited.elapsed() >= timeoutMs) {
            m_error = errno == EWOULDBLOCK ? u"the file is locked by another program"_s
                                           : QString::fromLocal8Bit(strerror(errno));
            return;
        }
        QThread::msleep(2 + QRandomGenerator::global()->bounded(5));
    }
    m_locked = true;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the flock
    if (m_threadLocked)
        m_threadLock->unlock();
}

FileSnapshot FileSnapshot::of(const QByteArray &content)
{
    return {content.size(), QCryptographicHash::hash(content, QCryptographicHash::Sha1)};
}

QByteArray FileSnapshot::appendedSince(const QByteArray &content) const
{
    if (size < 0 || content.size() <= size)
        return {};
    const QByteArrayView head(content.constData(), size);
    if (QCryptographicHash::hash(head, QCryptographicHash::Sha1) != hash)
        return {};
    return content.mid(size);
}

ReadResult readFileBounded(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists()) {
        result.status = ReadResult::Missing;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = u"Cannot open %1: %2"_s.arg(path, file.errorString());
        return result;
    }
    if (file.size() > maxBytes) {
        result.status = ReadResult::TooLarge;
        result.error = u"%1 is too large to read (%2 bytes, at most %3)"_s.arg(path).arg(file.size()).arg(maxBytes);
        return result;
    }
    // Read at most one byte past the limit, so a file that grows while we read is caught
    // too; size the buffer by the file, not by the limit.
    result.content = file.read(std::min(file.size(), maxBytes) + 1);
    if (result.content.size() > maxBytes) {
        result.content.clear();
        result.status = ReadResult::TooLarge;
        result.error = u"%1 is too large to read (more than %2 bytes)"_s.arg(path).arg(maxBytes);
        return result;
    }
    if (file.error() != QFile::NoError) {
        result.content.clear();
        result.error = u"Cannot read %1: %2"_s.arg(path, file.errorString());
        return result;
    }
    result.status = ReadResult::Ok;
    return result;
}

ReadResult readSharedFile(const QString &path, qint64 maxBytes)
{
    const FileLock lock(path);
    return readFileBounded(path, maxBytes);
}

namespace {

bool writeFileUnsynced(const QString &path, const QByteArray &content, QString *error)
{
    QTemporaryFile file(path + u".XXXXXX"_s);
    if (!file.open()) {
        if (error)
            *error = u"Cannot create %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (file.write(content) != content.size() || !file.flush()) {
        if (error)
            *error = u"Cannot write %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(), QFile::encodeName(path).toStdString(),
                            ec);
    if (ec) {
        if (error)
            *error = u"Cannot save %1: %2"_s.arg(path, QString::fromStdString(ec.message()));
        return false;
    }
    file.setAutoRemove(false); // it has become `path`
    return true;
}

} // namespace

bool writeFileAtomic(const QString &path, const QByteArray &content, QString *error, Durability durability)
{
    if (durability == Durability::Unsynced)
        return writeFileUnsynced(path, content, error);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = u"Cannot create %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    if (file.write(content) != content.size()) {
        if (error)
            *error = u"Cannot write %1: %2"_s.arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = u"Cannot save %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    return true;
}

bool appendLocked(const QString &path, const QByteArray &record, const QByteArray &headerIfNew, QString *error)
{
    FileLock lock(path);
    if (!lock.isLocked()) {
        if (error)
            *error = u"Cannot lock %1: %2"_s.arg(path, lock.errorString());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        if (error)
            *error = u"Cannot open %1: %2"_s.arg(path, file.errorString());
        return false;
    }
    QByteArray out;
    const qint64 size = file.size();
    if (size == 0) {
        out += headerIfNew;
    } else {
        file.seek(size - 1);
        const QByteArray last = file.read(1);
        if (last != "\n" && last != "\r")
            out += "\r\n";
        file.seek(size);
    }
    out += record;
    // One write call: a reader never sees half a record interleaved with another.
    const bool ok = file.write(out) == out.size() && file.flush();
    if (!ok && error)
        *error = u"Cannot append to %1: %2"_s.arg(path, file.errorString());
    return ok;
}

bool rewriteLocked(const QString &path, const std::function<QByteArray(const QByteArray &)> &build, QString *error)
{
    FileLock lock(path);
    if (!lock.isLocked()) {
        if (error)
            *error = u"Cannot lock %1: %2"_s.arg(path, lock.errorString());
        return false;
    }
    // A current file that cannot be read is replaced all the same: what it held is
    // lost to every reader anyway, and the caller's content must not be.
    const ReadResult current = readFileBounded(path);
    return writeFileAtomic(path, build(current.content), error);
}

bool writeLocked(const QString &path, const QByteArray &content, QString *error)
{
    FileLock lock(path);
    if (!lock.isLocked()) {
        if (error)
            *error = u"Cannot lock %1: %2"_s.arg(path, lock.errorString());
        return false;
    }
    return writeFileAtomic(path, content, error);
}

bool writelines(const QString &path, const QList<QByteArray> &lines, QString *error)
{
    const QByteArray content = joinCrLf(lines);
    for (int attempt = 0; attempt < kFileRetries; ++attempt) {
        if (writeFileAtomic(path, content, error, Durability::Unsynced))
            return true;
        pauseBeforeRetry(attempt);
    }
    return false;
}

QList<QByteArray> readlines(const QString &path, bool *ok, QString *error)
{
    if (ok)
        *ok = true;
    for (int attempt = 0; attempt < kFileRetries; ++attempt) {
        const ReadResult read = readFileBounded(path);
        if (read.status == ReadResult::Missing)
            return {};
        if (read.ok())
            return splitLines(read.content);
        if (error)
            *error = read.error;
        if (read.status == ReadResult::TooLarge)
            break; // retrying cannot help
        pauseBeforeRetry(attempt);
    }
    if (ok)
        *ok = false;
    return {};
}

bool ensureFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    return QDir().mkdir(path);
}

} // namespace pw
