#include "fileio.h"

#include "textlines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>

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
    , m_lock(filePath + u".lock"_s)
{
    QElapsedTimer waited;
    waited.start();
    m_threadLocked = m_threadLock->tryLock(timeoutMs);
    if (!m_threadLocked)
        return;
    // A holder only keeps the lock for one small write; anything older is left over
    // from a crash.
    m_lock.setStaleLockTime(30000);
    // QLockFile's own wait backs off to seconds between tries; a holder keeps the lock for
    // milliseconds, so poll often instead, or a busy writer could starve this one.
    while (!(m_locked = m_lock.tryLock(0)) && waited.elapsed() < timeoutMs) {
        if (m_lock.error() == QLockFile::PermissionError)
            break;
        QThread::msleep(2 + QRandomGenerator::global()->bounded(5));
    }
}

FileLock::~FileLock()
{
    if (m_locked)
        m_lock.unlock();
    if (m_threadLocked)
        m_threadLock->unlock();
}

QString FileLock::errorString() const
{
    if (!m_threadLocked)
        return u"the file is busy in this program"_s;
    switch (m_lock.error()) {
    case QLockFile::NoError:
        return {};
    case QLockFile::LockFailedError:
        return u"the file is locked by another program"_s;
    case QLockFile::PermissionError:
        return u"the lock file cannot be created"_s;
    case QLockFile::UnknownError:
        break;
    }
    return u"the file cannot be locked"_s;
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

bool writeFileAtomic(const QString &path, const QByteArray &content, QString *error)
{
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
        if (writeFileAtomic(path, content, error))
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
