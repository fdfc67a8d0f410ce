#include "tests/support/FileOpens.h"

#include <QFile>

#include <sys/inotify.h>
#include <unistd.h>

namespace tessora::testing {

FileOpens::FileOpens(const QString& folder) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (m_fd >= 0) {
        m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
}

FileOpens::~FileOpens() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

QHash<QString, int> FileOpens::take() {
    QHash<QString, int> opens;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0) {
            return opens;  // EAGAIN: nothing more is queued
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->len > 0 && (event->mask & IN_ISDIR) == 0) {
                ++opens[QFile::decodeName(event->name)];
            }
            offset += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

}  // namespace tessora::testing
