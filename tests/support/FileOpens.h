#pragma once

#include <QHash>
#include <QString>

namespace tessora::testing {

// Counts the openings of the files of one folder (not of its subfolders), by any process, from
// the moment it is made: what the kernel reports through inotify, so the code under test needs
// no seam for it.
class FileOpens {
public:
    explicit FileOpens(const QString& folder);
    ~FileOpens();
    FileOpens(const FileOpens&) = delete;
    FileOpens& operator=(const FileOpens&) = delete;

    bool watching() const { return m_watch >= 0; }
    // How often each file was opened since the last call (reads what the kernel has queued).
    QHash<QString, int> take();

private:
    int m_fd = -1;
    int m_watch = -1;
};

}  // namespace tessora::testing
