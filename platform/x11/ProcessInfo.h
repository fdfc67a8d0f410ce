#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

namespace tessora::x11 {

// What /proc tells about another process. Every read is bounded and absent when the process is
// gone, belongs to another user (environ) or the file is malformed.

// The value of one variable of the process's initial environment (at most 1 MiB is read).
std::optional<QByteArray> processEnvironmentValue(qint64 pid, const QByteArray& name);

// The executable the process runs.
std::optional<QString> processExecutable(qint64 pid);

// When the process started, in milliseconds since boot (the kernel's monotonic scale).
std::optional<std::chrono::milliseconds> processStartTime(qint64 pid);

// The process exists and is not a zombie.
bool processIsAlive(qint64 pid);

// The fields of /proc/PID/stat after the command name: state first. Absent when malformed.
std::optional<QList<QByteArray>> parseProcessStat(const QByteArray& stat);

}  // namespace tessora::x11
