// GLib's headers use `signals` as a field name, which Qt defines as a macro: they come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/x11/GioLauncher.h"

#include "platform/x11/X11Log.h"

#include <QFileInfo>

namespace tessora::x11 {

namespace {

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data) {
    *static_cast<qint64*>(data) = pid;
}

}  // namespace

GioLaunch launchDesktopEntry(const QString& entryPath, const QByteArray& display,
                             const QByteArray& startupId) {
    GioLaunch result;
    const QByteArray path = QFile::encodeName(entryPath);
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(path.constData());
    if (!info) {
        result.error = QStringLiteral("The desktop entry %1 cannot be launched.").arg(entryPath);
        return result;
    }
    GAppLaunchContext* context = g_app_launch_context_new();
    // A plain launch context names no startup id of its own; the variable reaches the child
    // through the context's environment.
    if (!display.isEmpty()) {
        g_app_launch_context_setenv(context, "DISPLAY", display.constData());
    }
    if (!startupId.isEmpty()) {
        g_app_launch_context_setenv(context, "DESKTOP_STARTUP_ID", startupId.constData());
    }
    GError* error = nullptr;
    qint64 pid = 0;
    const gboolean ok = g_desktop_app_info_launch_uris_as_manager(
        info, nullptr, context, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &rememberPid, &pid, &error);
    if (ok) {
        result.launched = true;
        result.pid = pid;
    } else {
        result.error = QStringLiteral("Launching %1 failed: %2")
                           .arg(QFileInfo(entryPath).fileName(),
                                error ? QString::fromUtf8(error->message) : QString());
        g_clear_error(&error);
    }
    g_object_unref(context);
    g_object_unref(info);
    return result;
}

}  // namespace tessora::x11
