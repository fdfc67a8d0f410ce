#include "app/ShortcutService.h"

#include "workspace/SettingsKeys.h"

#include <limits>
#include <utility>

namespace tessora {

namespace {

constexpr quint32 kCmdKey = 256, kShiftKey = 512, kOptionKey = 2048, kControlKey = 4096;

const QString kDefaultLabel = QStringLiteral("⌘esc");
const QString kUnavailable = QStringLiteral(
    "This shortcut is unavailable. Try another combination. Your previous shortcut remains "
    "active.");

// A stored value as a 32-bit key code or mask; absent when missing, of another type or out of
// range (a corrupt store).
std::optional<quint32> storedUnsigned(const DefaultsStore& defaults, const char* key) {
    const std::optional<qint64> value = defaults.integerValue(QLatin1String(key));
    if (!value || *value < 0 || *value > std::numeric_limits<quint32>::max()) {
        return std::nullopt;
    }
    return static_cast<quint32>(*value);
}

}  // namespace

ShortcutService::ShortcutService(WindowSystem& windows, DefaultsStore& defaults, QObject* parent)
    : QObject(parent), m_windows(windows), m_defaults(defaults) {
    // Earlier layouts stored combinations in another form: they are replaced by the default.
    if (m_defaults.boolValue(keys::shortcutV2) != true) {
        m_defaults.setInteger(keys::shortcutCode, defaultKeyCode);
        m_defaults.setInteger(keys::shortcutModifiers, defaultModifiers);
        m_defaults.setText(keys::shortcutLabel, kDefaultLabel);
        m_defaults.setBool(keys::shortcutV2, true);
    }
    if (m_defaults.boolValue(keys::launcherEnabled).value_or(true)) {
        const Combination stored = storedCombination();
        registerCombination(stored.keyCode, stored.modifiers);
    }
}

ShortcutService::~ShortcutService() {
    m_hotKey.reset();
}

quint32 ShortcutService::modifiersFromCarbon(quint32 carbon) {
    quint32 flags = 0;
    if (carbon & kCmdKey) {
        flags |= KeyModifiers::command;
    }
    if (carbon & kShiftKey) {
        flags |= KeyModifiers::shift;
    }
    if (carbon & kOptionKey) {
        flags |= KeyModifiers::option;
    }
    if (carbon & kControlKey) {
        flags |= KeyModifiers::control;
    }
    return flags;
}

quint32 ShortcutService::carbonFromModifiers(quint32 modifiers) {
    quint32 carbon = 0;
    if (modifiers & KeyModifiers::command) {
        carbon |= kCmdKey;
    }
    if (modifiers & KeyModifiers::shift) {
        carbon |= kShiftKey;
    }
    if (modifiers & KeyModifiers::option) {
        carbon |= kOptionKey;
    }
    if (modifiers & KeyModifiers::control) {
        carbon |= kControlKey;
    }
    return carbon;
}

ShortcutService::Combination ShortcutService::storedCombination() const {
    Combination stored;
    stored.keyCode = storedUnsigned(m_defaults, keys::shortcutCode).value_or(defaultKeyCode);
    stored.modifiers =
        storedUnsigned(m_defaults, keys::shortcutModifiers).value_or(defaultModifiers);
    // No recording stores a combination without Command, Option or Control; one found in the
    // store would take an ordinary key away from every application, so it counts as corrupt.
    if ((stored.modifiers & (kCmdKey | kOptionKey | kControlKey)) == 0) {
        stored = Combination{};
    }
    return stored;
}

bool ShortcutService::registerCombination(quint32 keyCode, quint32 modifiers) {
    std::unique_ptr<InputGrab> grab = m_windows.grabHotKey(
        KeyInput{keyCode, modifiersFromCarbon(modifiers)}, [this] { pressed(); });
    if (!grab) {
        setError(kUnavailable);
        return false;
    }
    // The new hot key is live before the old one is let go.
    std::unique_ptr<InputGrab> previous = std::exchange(m_hotKey, std::move(grab));
    previous.reset();
    setError(QString());
    setEnabledFlag(true);
    m_defaults.setInteger(keys::shortcutCode, keyCode);
    m_defaults.setInteger(keys::shortcutModifiers, modifiers);
    m_defaults.setBool(keys::launcherEnabled, true);
    return true;
}

void ShortcutService::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    if (enabled) {
        const Combination stored = storedCombination();
        registerCombination(stored.keyCode, stored.modifiers);
        return;
    }
    m_hotKey.reset();
    setEnabledFlag(false);
    m_defaults.setBool(keys::launcherEnabled, false);
}

void ShortcutService::setOnOpen(std::function<void()> onOpen) {
    m_onOpen = std::move(onOpen);
}

void ShortcutService::setError(const QString& error) {
    if (error == m_error) {
        return;
    }
    m_error = error;
    emit errorChanged();
}

QString ShortcutService::label() const {
    return m_defaults.textValue(keys::shortcutLabel).value_or(kDefaultLabel);
}

void ShortcutService::setEnabledFlag(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    emit enabledChanged();
}

void ShortcutService::pressed() {
    if (m_onOpen) {
        const std::function<void()> onOpen = m_onOpen;  // it may replace itself
        onOpen();
    }
}

}  // namespace tessora
