#pragma once

#include <QList>
#include <QString>
#include <chrono>
#include <optional>

namespace tessora {

// A running application as the desktop reports it. `id` is the desktop file ID (without
// ".desktop") of the entry it was matched to, or an id of its own (from WM_CLASS) when it
// matched none; `location` is then the entry's path, or else the executable's path.
struct RunningApplication {
    QString id;
    QString name;         // display name to use when the application matches no entry
    QString location;     // a ".desktop" path, or an executable
    bool regular = true;  // has managed normal windows (not a dock, panel or background process)
    // When the process started, on a monotonic scale; absent when unknown ("the distant past").
    std::optional<std::chrono::milliseconds> launchTime;
    qint64 pid = 0;

    bool matchesEntry() const { return location.endsWith(QLatin1String(".desktop")); }
};

// The window system as the logic sees it. Window access joins this interface later; what a
// backend cannot provide is reported as absent, never faked.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Every running application, in the order the window system lists them.
    virtual QList<RunningApplication> runningApplications() const = 0;
};

}  // namespace tessora
