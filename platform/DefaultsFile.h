#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessora {

// The disk side of a settings file: reading it with a size limit, keeping a bad one aside,
// and replacing it atomically. No logging here; callers report the problems they get back.

struct DefaultsFileRead {
    enum class Outcome {
        Missing,     // nothing at the path
        Read,        // `bytes` holds the content
        TooLarge,    // more than the limit; not read
        Unreadable,  // something is there but cannot be read: `problem` says why
    };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;
    QString problem;
};

DefaultsFileRead readDefaultsFile(const QString& path, qint64 maxBytes);

// Renames the file to "<path>.corrupt", or "<path>.corrupt.N" with the first N that is free,
// and returns the new path; absent when the file could not be moved.
std::optional<QString> keepDefaultsFileAside(const QString& path);

// Replaces the file with `bytes` at once, creating its folder when missing. Returns the
// problem, or absent on success.
std::optional<QString> writeDefaultsFile(const QString& path, const QByteArray& bytes);

}  // namespace tessora
