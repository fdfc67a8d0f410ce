#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessora {

// The disk side of a settings file: reading it with a size limit, keeping a bad one aside,
// replacing it atomically and clearing what interrupted replacements left. No logging here;
// callers report the problems they get back.
//
// A settings file is read and written only at its own place: a symbolic link there is neither
// followed nor replaced, for reading and writing alike, so that settings never go to where a
// link points (another file of the user's, one of root's when run as root, a name that does not
// exist yet). The folder that holds the file may be a link; the file itself may not.

struct DefaultsFileRead {
    enum class Outcome {
        Missing,     // nothing at the path
        Read,        // `bytes` holds the content
        TooLarge,    // more than the limit; not read
        Link,        // a symbolic link, not followed (`problem` says so)
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

// Replaces the file with `bytes` at once, creating its folder when missing: the bytes go to a
// temporary file "<path>.XXXXXX" beside it, which is then renamed over the path. Refuses when
// a symbolic link or anything but a regular file is at the path. Returns the problem, or absent
// on success.
std::optional<QString> writeDefaultsFile(const QString& path, const QByteArray& bytes);

// Removes the temporary files of replacements that never finished (the process was killed
// before its rename): names of exactly that pattern beside `path`, and of those only regular
// files of this user that no replacement under way holds. Returns the paths removed.
QStringList removeInterruptedWrites(const QString& path);

}  // namespace tessora
