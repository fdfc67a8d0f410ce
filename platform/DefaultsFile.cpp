#include "platform/DefaultsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tessora {

namespace {

const QString kThroughLink =
    QStringLiteral("it is a symbolic link, and settings are neither read nor written through one");

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file descriptor, closed when it goes (which also lets go of a lock on it).
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

std::optional<struct stat> statusOf(const QByteArray& name) {
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

// Broken links count as taken: renaming onto one would silently replace it.
bool occupied(const QString& path) {
    return statusOf(QFile::encodeName(path)).has_value();
}

bool lockExclusively(int fd, bool wait) {
    int result;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

std::optional<QString> writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return systemError(errno);
        }
        next += written;
        left -= written;
    }
    if (::fsync(fd) != 0) {
        return systemError(errno);
    }
    return std::nullopt;
}

// So that the rename itself survives a crash. A folder that cannot be synced costs only that.
void syncFolder(const QString& folder) {
    const Descriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

// Whether `name` is a temporary file of an interrupted replacement, removed if so: a regular
// file of this user (not a link) on which no replacement under way holds its lock.
bool removeIfInterrupted(const QByteArray& name) {
    const std::optional<struct stat> seen = statusOf(name);
    if (!seen || !S_ISREG(seen->st_mode) || seen->st_uid != ::geteuid()) {
        return false;
    }
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid() || !lockExclusively(fd.get(), false)) {
        return false;
    }
    // Still the same file under that name: the one locked is the one removed.
    const std::optional<struct stat> now = statusOf(name);
    if (!now || now->st_dev != opened.st_dev || now->st_ino != opened.st_ino) {
        return false;
    }
    return ::unlink(name.constData()) == 0;
}

}  // namespace

DefaultsFileRead readDefaultsFile(const QString& path, qint64 maxBytes) {
    DefaultsFileRead result;
    const QByteArray name = QFile::encodeName(path);
    const std::optional<struct stat> seen = statusOf(name);
    if (!seen) {
        return result;
    }
    if (S_ISLNK(seen->st_mode)) {
        result.outcome = DefaultsFileRead::Outcome::Link;
        result.problem = kThroughLink;
        return result;
    }
    // Only regular files: opening a pipe or a device could block or never end.
    const auto notRegular = [&result] {
        result.outcome = DefaultsFileRead::Outcome::Unreadable;
        result.problem = QStringLiteral("not a regular file");
        return result;
    };
    if (!S_ISREG(seen->st_mode)) {
        return notRegular();
    }
    // Opened without following a link that took the file's place meanwhile, and checked again.
    Descriptor fd(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        if (error == ENOENT) {
            return result;
        }
        result.outcome = error == ELOOP ? DefaultsFileRead::Outcome::Link
                                        : DefaultsFileRead::Outcome::Unreadable;
        result.problem = error == ELOOP ? kThroughLink : systemError(error);
        return result;
    }
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
        return notRegular();
    }
    QFile file;
    if (!file.open(fd.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        result.outcome = DefaultsFileRead::Outcome::Unreadable;
        result.problem = file.errorString();
        return result;
    }
    // Read one byte past the limit, so that a file growing after the size check is caught too.
    // The buffer follows the file's size, not the limit: a block of the limit's size, taken
    // and given back at once, would raise glibc's thresholds for returning freed memory to
    // the system for the rest of the process's life.
    if (file.size() <= maxBytes) {
        result.bytes = file.read(file.size() + 1);
        constexpr qint64 kChunk = 64 * 1024;
        while (result.bytes.size() <= maxBytes && file.error() == QFileDevice::NoError) {
            const QByteArray more = file.read(std::min(kChunk, maxBytes + 1 - result.bytes.size()));
            if (more.isEmpty()) {
                break;
            }
            result.bytes += more;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        result.outcome = DefaultsFileRead::Outcome::Unreadable;
        result.problem = file.errorString();
        result.bytes.clear();
    } else if (file.size() > maxBytes || result.bytes.size() > maxBytes) {
        result.outcome = DefaultsFileRead::Outcome::TooLarge;
        result.bytes.clear();
    } else {
        result.outcome = DefaultsFileRead::Outcome::Read;
    }
    return result;
}

std::optional<QString> keepDefaultsFileAside(const QString& path) {
    const QString base = path + QStringLiteral(".corrupt");
    // A bound so that a folder that refuses every name cannot keep us looping.
    constexpr int kMaxAttempts = 1000;
    for (int n = 0; n < kMaxAttempts; ++n) {
        const QString candidate = n == 0 ? base : base + QLatin1Char('.') + QString::number(n);
        if (occupied(candidate)) {
            continue;
        }
        if (QFile::rename(path, candidate)) {
            return candidate;
        }
        if (!occupied(candidate)) {
            return std::nullopt;  // the rename failed for another reason than the name
        }
    }
    return std::nullopt;
}

std::optional<QString> writeDefaultsFile(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return QStringLiteral("cannot create the folder %1").arg(folder);
    }
    const QByteArray name = QFile::encodeName(path);
    const std::optional<struct stat> existing = statusOf(name);
    if (existing && S_ISLNK(existing->st_mode)) {
        return kThroughLink;
    }
    if (existing && !S_ISREG(existing->st_mode)) {
        return QStringLiteral("something other than a regular file is there");
    }
    // A start that clears interrupted writes may take a temporary file for left over in the
    // moment between its creation and its lock; it is then written again under another name.
    constexpr int kMaxAttempts = 3;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        QByteArray temporary = name + ".XXXXXX";
        const Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));  // 0600, never a link
        if (!fd.valid()) {
            return QStringLiteral("cannot create a temporary file beside it: %1")
                .arg(systemError(errno));
        }
        // Held until the rename: the temporary file is under way, not left over. (Where no
        // lock is to be had, the write goes on without.)
        lockExclusively(fd.get(), true);
        struct stat own {};
        if (::fstat(fd.get(), &own) == 0 && own.st_nlink == 0) {
            continue;  // taken for left over before the lock was ours
        }
        std::optional<QString> problem = writeAll(fd.get(), bytes);
        if (!problem && existing) {
            ::fchmod(fd.get(), existing->st_mode & 0777);  // a mode the user chose stays
        }
        // A rename replaces whatever is at the path, a link that appeared meanwhile included,
        // and never writes where that points.
        if (!problem && ::rename(temporary.constData(), name.constData()) != 0) {
            problem = systemError(errno);
        }
        if (problem) {
            ::unlink(temporary.constData());
            return problem;
        }
        syncFolder(folder);
        return std::nullopt;
    }
    return QStringLiteral("its temporary files were taken away while being written");
}

QStringList removeInterruptedWrites(const QString& path) {
    const QFileInfo file(path);
    const QDir folder = file.absoluteDir();
    // The pattern the temporary files are made with: the file's name, a dot and six letters or
    // digits.
    const QString prefix = file.fileName() + QLatin1Char('.');
    const auto temporarySuffix = [](QStringView suffix) {
        return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
                   return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
                          (c >= u'A' && c <= u'Z');
               });
    };
    QStringList removed;
    const QStringList names = folder.entryList({prefix + QStringLiteral("??????")},
                                               QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!temporarySuffix(QStringView(name).mid(prefix.size()))) {
            continue;
        }
        const QString candidate = folder.filePath(name);
        if (removeIfInterrupted(QFile::encodeName(candidate))) {
            removed << candidate;
        }
    }
    return removed;
}

}  // namespace tessora
