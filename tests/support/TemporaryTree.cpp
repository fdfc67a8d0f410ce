#include "tests/support/TemporaryTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace tessora::testing {

TemporaryTree::TemporaryTree() {
    if (!m_dir.isValid()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

TemporaryTree::~TemporaryTree() {
    for (const QString& p : m_locked) {
        QFile::setPermissions(
            p, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

QString TemporaryTree::path(const QString& relative) const {
    return m_dir.filePath(relative);
}

QString TemporaryTree::write(const QString& relative, const QByteArray& content) {
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size()) {
        throw std::runtime_error("cannot write " + full.toStdString());
    }
    return full;
}

QString TemporaryTree::makeFolder(const QString& relative) {
    const QString full = path(relative);
    QDir().mkpath(full);
    return full;
}

QString TemporaryTree::link(const QString& relative, const QString& target) {
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    if (!QFile::link(target, full)) {
        throw std::runtime_error("cannot link " + full.toStdString());
    }
    return full;
}

void TemporaryTree::makeUnreadable(const QString& relative) {
    const QString full = path(relative);
    QFile::setPermissions(full, QFileDevice::Permissions());
    m_locked.append(full);
}

}  // namespace tessora::testing
