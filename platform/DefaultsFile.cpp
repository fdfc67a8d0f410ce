#include "platform/DefaultsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace tessora {

namespace {

// Broken links count as taken: renaming onto one would silently replace it.
bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

DefaultsFileRead readDefaultsFile(const QString& path, qint64 maxBytes) {
    DefaultsFileRead result;
    if (!occupied(path)) {
        return result;
    }
    // Only regular files: opening a pipe or a device could block or never end.
    if (!QFileInfo(path).isFile()) {
        result.outcome = DefaultsFileRead::Outcome::Unreadable;
        result.problem = QStringLiteral("not a regular file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString problem = file.errorString();
        file.cancelWriting();
        return problem;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

}  // namespace tessora
