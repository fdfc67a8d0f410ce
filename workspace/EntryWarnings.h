#pragma once

#include <QHash>
#include <QString>
#include <mutex>

namespace tessora {

// The desktop entries the catalog has warned about. The catalog is read again at every show of
// the launcher; a broken entry is reported the first time it is met and again only once its
// file has changed (another modification time or size), not at every scan. Thread-safe: scans
// run off the main thread.
class EntryWarnings {
public:
    // True the first time it is asked for the file at `path` in its current state.
    bool firstFor(const QString& path);

private:
    struct Stamp {
        qint64 modified = 0;
        qint64 size = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };

    std::mutex m_mutex;
    QHash<QString, Stamp> m_warned;
};

}  // namespace tessora
