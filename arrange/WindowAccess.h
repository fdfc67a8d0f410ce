#pragma once

#include "arrange/WindowHandle.h"
#include "core/Clock.h"
#include "core/Geometry.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <chrono>
#include <optional>
#include <stop_token>

// The only place where the system touches other applications' windows: finding the windows
// of a running application that can be arranged (standard windows on this desktop), reading
// and writing frames with read-back verification, raising and focusing, launching without
// activation, and waiting for a launched application's windows. Everything here is stateless;
// nothing is cached between calls. All frames are the frames the user sees, in window space.
//
// Reads that fail are absent values, never errors; the results of writes are never trusted,
// only the frame read back counts. Operations that wait take the clock and a stop token and
// check the token before every poll, every write attempt and every raise.
namespace tessora::windows {

// Two frames are approximately equal when x, y, width and height each differ by strictly less
// than this. The one tolerance for matching windows against the on-screen list, for deciding
// whether a write took effect and for the placement's checks.
inline constexpr double kFrameTolerance = 6.0;

// Waiting for a launched application's windows: at most 50 polls 0.3 s apart (about 15 s).
inline constexpr Clock::Duration kWindowPollInterval = std::chrono::milliseconds(300);
inline constexpr int kMaxWindowPolls = 50;
// At poll 3, an application that still lists no window at all is asked again to open one.
inline constexpr int kReopenPoll = 3;
// From poll 5 on, an application with windows of which none qualifies is given up.
inline constexpr int kGiveUpOnOtherWindowsPoll = 5;

// Frame writes: read back 0.12 s after each attempt, at most 3 attempts.
inline constexpr Clock::Duration kFrameSettleTime = std::chrono::milliseconds(120);
inline constexpr int kMaxFrameAttempts = 3;

// Windows found while waiting, by application id; windowsForApp() falls back to them.
using WindowsByApp = QHash<QString, QList<WindowId>>;

// One window of a column placement (the Chain session's strip).
struct ColumnPlacement {
    WindowId window = 0;
    WindowRect frame;
    bool needsSize = false;  // false: only the origin is written...
    bool withSize = false;   // ...unless this is set: the whole frame, without waiting for it
    bool hidden = false;     // out of view: minimized meanwhile, nothing written
};

// Frames of the application's normal-layer windows in the on-screen list of the current
// desktop, in list order (front to back). The list is read once.
QList<WindowRect> onScreenWindowBounds(const WindowSystem& system, const RunningApplication& app);

std::optional<WindowRect> windowFrame(const WindowSystem& system, WindowId window);

bool framesApproximatelyEqual(const WindowRect& a, const WindowRect& b);

// The application's arrangeable windows: its focused window first, then the others in its own
// order, each once, keeping only standard windows that are neither minimized nor full screen
// and whose frame matches an entry of the on-screen list. An application with nothing on
// screen is answered without reading any of its windows.
QList<WindowId> standardWindows(const WindowSystem& system, const RunningApplication& app);

// Asks for the application's minimized standard windows of the current desktop to be brought
// back, as a taskbar does, so that they can be arranged; each window once, those asked for
// being noted in `asked`. Windows minimized on other desktops stay where they are. The window
// list is read once.
void unminimizeWindows(WindowSystem& system, const RunningApplication& app, QList<WindowId>* asked);

// Handles of the application's standard windows; when it shows none, those in `fallback`
// under its id. Empty when the application does not run.
WindowHandles windowsForApp(const WindowSystem& system, const InstalledApp& app,
                            const WindowsByApp& fallback);

// Launches the application without activating it (or asks a running one without windows to
// open one). The outcome carries the error text when it could not be opened.
Task<LaunchOutcome> openApplication(WindowSystem& system, InstalledApp app);

// Launches the application when it does not run, then polls its standard windows until two
// consecutive polls agree; its minimized windows are brought back at the first poll and
// whenever it shows none. Empty when the launch fails, the application ends, the wait is
// stopped, or it shows windows of which none qualifies; after the last poll, the last list
// seen. A launch that fails leaves its error in `launchError` when given.
Task<QList<WindowId>> waitForWindows(WindowSystem& system, Clock& clock, InstalledApp app,
                                     std::stop_token stop, QString* launchError = nullptr);

// Moves and resizes the window to `target` and returns the frame read back at the end (absent
// when the last read failed). A window already within the tolerance is not written at all.
// Each attempt writes the frame twice (a size that was clamped at the old position is taken
// once the window has moved), waits, and reads back; at most three attempts.
Task<std::optional<WindowRect>> setWindowFrame(WindowSystem& system, Clock& clock, WindowId window,
                                               WindowRect target, std::stop_token stop);

// The application runs, the window's frame can be read, and an on-screen entry of the
// application matches it: it is still on this desktop, mapped, not minimized and alive.
bool isWindowOnThisDesktop(const WindowSystem& system, WindowId window, const InstalledApp& app);

bool isWindowAlive(const WindowSystem& system, WindowId window);

// Activates the application and gives the window the focus, raised. Nothing happens when the
// application does not run.
void focusWindow(WindowSystem& system, const InstalledApp& app, WindowId window);

// Places the columns of the Chain strip in order, then raises `raiseOrder` in order (the last
// ends up frontmost). A column that needs a new size is sized while it lies wholly inside
// `area` and only then moved to its real, possibly partly outside, position. A hidden column
// is minimized unless it is in `minimized` already; a column in `minimized` that is not
// hidden is un-minimized, then placed. `minimized` follows each request as it is sent, so that
// it is right also when the placement stops halfway; it must outlive the task.
Task<void> applyColumnPlacements(WindowSystem& system, Clock& clock, QList<ColumnPlacement> items,
                                 WindowRect area, QList<WindowId> raiseOrder,
                                 QSet<WindowId>& minimized, std::stop_token stop);

// Whether each window is still there, in the same order: one reading of the window list
// answers for the windows it lists; one it misses counts as there unless it is gone (closed),
// since a window manager that hands over to another lists nothing for a while, and the new one
// takes the windows over one by one.
Task<QList<bool>> windowsAliveFlags(WindowSystem& system, QList<WindowId> windows);

// How narrow each window can become: every window is probed at once with a frame of
// `probeWidth` x `probeHeight` at the origin of its entry in `frames` ((0, 0) when missing);
// the result is the larger of the probe width and the width read back.
Task<QList<double>> measureMinimumWidths(WindowSystem& system, Clock& clock,
                                         QList<WindowId> windows, QList<WindowRect> frames,
                                         double probeWidth, double probeHeight,
                                         std::stop_token stop);

}  // namespace tessora::windows
