#include "workspace/EntryWarnings.h"

#include <QDateTime>
#include <QFileInfo>

namespace tessora {

bool EntryWarnings::firstFor(const QString& path) {
    const QFileInfo file(path);
    const Stamp stamp{file.exists() ? file.lastModified().toMSecsSinceEpoch() : -1,
                      file.exists() ? file.size() : -1};
    const std::lock_guard lock(m_mutex);
    const auto it = m_warned.constFind(path);
    if (it != m_warned.constEnd() && *it == stamp) {
        return false;
    }
    m_warned.insert(path, stamp);
    return true;
}

}  // namespace tessora
