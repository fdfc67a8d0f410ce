#include "platform/x11/ProcessInfo.h"

#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace tessora::x11 {

namespace {

constexpr qint64 kMaxEnvironmentBytes = 1024 * 1024;
constexpr qint64 kMaxStatBytes = 4096;

QString procPath(qint64 pid, const char* file) {
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file));
}

std::optional<QByteArray> readBounded(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(limit);
}

}  // namespace

std::optional<QByteArray> processEnvironmentValue(qint64 pid, const QByteArray& name) {
    if (pid <= 0) {
        return std::nullopt;
    }
    const std::optional<QByteArray> environ =
        readBounded(procPath(pid, "environ"), kMaxEnvironmentBytes);
    if (!environ) {
        return std::nullopt;
    }
    const QByteArray prefix = name + '=';
    for (const QByteArray& entry : environ->split('\0')) {
        if (entry.startsWith(prefix)) {
            return entry.mid(prefix.size());
        }
    }
    return std::nullopt;
}

std::optional<QString> processExecutable(qint64 pid) {
    if (pid <= 0) {
        return std::nullopt;
    }
    QString target = QFileInfo(procPath(pid, "exe")).symLinkTarget();
    if (target.isEmpty()) {
        return std::nullopt;
    }
    // An executable replaced since the start reads "/usr/bin/foo (deleted)".
    target.remove(QLatin1String(" (deleted)"));
    return target;
}

std::optional<QList<QByteArray>> parseProcessStat(const QByteArray& stat) {
    // "PID (COMMAND) STATE ...": the command may contain spaces and parentheses, so the fields
    // start after the last ')'.
    const qsizetype end = stat.lastIndexOf(')');
    if (end < 0 || end + 2 > stat.size()) {
        return std::nullopt;
    }
    QList<QByteArray> fields = stat.mid(end + 2).trimmed().split(' ');
    if (fields.isEmpty() || fields.front().isEmpty()) {
        return std::nullopt;
    }
    return fields;
}

std::optional<std::chrono::milliseconds> processStartTime(qint64 pid) {
    if (pid <= 0) {
        return std::nullopt;
    }
    const std::optional<QByteArray> stat = readBounded(procPath(pid, "stat"), kMaxStatBytes);
    const std::optional<QList<QByteArray>> fields = stat ? parseProcessStat(*stat) : std::nullopt;
    // starttime is field 22 of stat(5); the fields here start at field 3 (state).
    constexpr qsizetype kStartTime = 22 - 3;
    if (!fields || fields->size() <= kStartTime) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong ticks = fields->at(kStartTime).toULongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (!ok || ticksPerSecond <= 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(
        static_cast<qint64>(ticks * 1000 / static_cast<qulonglong>(ticksPerSecond)));
}

bool processIsAlive(qint64 pid) {
    if (pid <= 0) {
        return false;
    }
    const std::optional<QByteArray> stat = readBounded(procPath(pid, "stat"), kMaxStatBytes);
    const std::optional<QList<QByteArray>> fields = stat ? parseProcessStat(*stat) : std::nullopt;
    return fields && fields->front() != "Z" && fields->front() != "X";
}

}  // namespace tessora::x11
