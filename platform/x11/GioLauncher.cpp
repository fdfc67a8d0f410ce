// GLib's headers use `signals` as a field name, which Qt defines as a macro: they come first.
// Only GIO's types are used from its headers; its functions are looked up when first needed.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/x11/GioLauncher.h"

#include "platform/x11/X11Log.h"

#include <QFileInfo>
#include <memory>

namespace tessora::x11 {

struct GioLauncher::Functions {
    decltype(&g_desktop_app_info_new_from_filename) newFromFilename = nullptr;
    decltype(&g_app_launch_context_new) newContext = nullptr;
    decltype(&g_app_launch_context_setenv) setEnvironment = nullptr;
    decltype(&g_desktop_app_info_launch_uris_as_manager) launchAsManager = nullptr;
    decltype(&g_object_unref) unref = nullptr;  // GObject's, a library GIO depends on
};

namespace {

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data) {
    *static_cast<qint64*>(data) = pid;
}

template <typename Function>
bool resolve(QLibrary& library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

}  // namespace

GioLauncher::GioLauncher() = default;
GioLauncher::~GioLauncher() = default;

const GioLauncher::Functions* GioLauncher::functions() {
    static_assert(sizeof(void*) == sizeof(&g_object_unref));
    if (m_tried) {
        return m_loadError.isEmpty() ? m_functions.get() : nullptr;
    }
    m_tried = true;
    m_library.setFileNameAndVersion(QStringLiteral("gio-2.0"), 0);
    auto loaded = std::make_unique<Functions>();
    // Symbols of GIO's dependencies (GObject) are found through GIO's own handle.
    const bool complete =
        m_library.load() &&
        resolve(m_library, "g_desktop_app_info_new_from_filename", loaded->newFromFilename) &&
        resolve(m_library, "g_app_launch_context_new", loaded->newContext) &&
        resolve(m_library, "g_app_launch_context_setenv", loaded->setEnvironment) &&
        resolve(m_library, "g_desktop_app_info_launch_uris_as_manager", loaded->launchAsManager) &&
        resolve(m_library, "g_object_unref", loaded->unref);
    if (!complete) {
        m_loadError = QStringLiteral("GIO cannot be loaded: %1").arg(m_library.errorString());
        qCWarning(lcX11).noquote() << m_loadError;
        return nullptr;
    }
    m_functions = std::move(loaded);
    return m_functions.get();
}

GioLaunch GioLauncher::launch(const QString& entryPath, const QByteArray& display,
                              const QByteArray& startupId) {
    GioLaunch result;
    const Functions* gio = functions();
    if (!gio) {
        result.error = m_loadError;
        return result;
    }
    const QByteArray path = QFile::encodeName(entryPath);
    GDesktopAppInfo* info = gio->newFromFilename(path.constData());
    if (!info) {
        result.error = QStringLiteral("The desktop entry %1 cannot be launched.").arg(entryPath);
        return result;
    }
    GAppLaunchContext* context = gio->newContext();
    // A plain launch context names no startup id of its own; the variable reaches the child
    // through the context's environment.
    if (!display.isEmpty()) {
        gio->setEnvironment(context, "DISPLAY", display.constData());
    }
    if (!startupId.isEmpty()) {
        gio->setEnvironment(context, "DESKTOP_STARTUP_ID", startupId.constData());
    }
    GError* error = nullptr;
    qint64 pid = 0;
    // The application gets what a desktop gives the applications it starts: no terminal of
    // ours. Standard input, output and error go to /dev/null; inherited, they would tie it to
    // whoever reads our output (`tessora --arrange ... | less` would not end before it did).
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                G_SPAWN_STDERR_TO_DEV_NULL);
    const gboolean ok = gio->launchAsManager(info, nullptr, context, flags, nullptr, nullptr,
                                             &rememberPid, &pid, &error);
    if (ok) {
        result.launched = true;
        result.pid = pid;
    } else {
        result.error = QStringLiteral("Launching %1 failed: %2")
                           .arg(QFileInfo(entryPath).fileName(),
                                error ? QString::fromUtf8(error->message) : QString());
        g_clear_error(&error);  // GLib's, which the program links anyway
    }
    gio->unref(context);
    gio->unref(info);
    return result;
}

}  // namespace tessora::x11
