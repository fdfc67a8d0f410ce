#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tessora::testing {

// A temporary folder that tests fill with files, folders and links; removed when it goes.
class TemporaryTree {
public:
    TemporaryTree();

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const;

    // Writes the file (creating its folders) and returns its absolute path.
    QString write(const QString& relative, const QByteArray& content);
    QString makeFolder(const QString& relative);
    // Creates a symbolic link at `relative` pointing to `target` (taken as given).
    QString link(const QString& relative, const QString& target);
    // Removes every permission from the file or folder (restored when the tree goes).
    void makeUnreadable(const QString& relative);

    ~TemporaryTree();

private:
    QTemporaryDir m_dir;
    QStringList m_locked;
};

}  // namespace tessora::testing
