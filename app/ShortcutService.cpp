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
    : QObject(parent), windows_(windows), defaults_(defaults) {
    // Earlier layouts stored combinations in another form: they are replaced by the default.
    if (defaults_.boolValue(keys::shortcutV2) != true) {
        defaults_.setInteger(keys::shortcutCode, defaultKeyCode);
        defaults_.setInteger(keys::shortcutModifiers, defaultModifiers);
        defaults_.setText(keys::shortcutLabel, kDefaultLabel);
        defaults_.setBool(keys::shortcutV2, true);
    }
    if (defaults_.boolValue(keys::launcherEnabled).value_or(true)) {
        const Combination stored = storedCombination();
        registerCombination(stored.keyCode, stored.modifiers);
    }
}

ShortcutService::~ShortcutService() {
    hotKey_.reset();
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
    stored.keyCode = storedUnsigned(defaults_, keys::shortcutCode).value_or(defaultKeyCode);
    stored.modifiers =
        storedUnsigned(defaults_, keys::shortcutModifiers).value_or(defaultModifiers);
    // No recording stores a combination without Command, Option or Control; one found in the
    // store would take an ordinary key away from every application, so it counts as corrupt.
    if ((stored.modifiers & (kCmdKey | kOptionKey | kControlKey)) == 0) {
        stored = Combination{};
    }
    return stored;
}

bool ShortcutService::registerCombination(quint32 keyCode, quint32 modifiers) {
    std::unique_ptr<InputGrab> grab = windows_.grabHotKey(
        KeyInput{keyCode, modifiersFromCarbon(modifiers)}, [this] { pressed(); });
    if (!grab) {
        setError(kUnavailable);
        return false;
    }
    // The new hot key is live before the old one is let go.
    std::unique_ptr<InputGrab> previous = std::exchange(hotKey_, std::move(grab));
    previous.reset();
    setError(QString());
    setEnabledFlag(true);
    defaults_.setInteger(keys::shortcutCode, keyCode);
    defaults_.setInteger(keys::shortcutModifiers, modifiers);
    defaults_.setBool(keys::launcherEnabled, true);
    return true;
}

void ShortcutService::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    if (enabled) {
        const Combination stored = storedCombination();
        registerCombination(stored.keyCode, stored.modifiers);
        return;
    }
    hotKey_.reset();
    setEnabledFlag(false);
    defaults_.setBool(keys::launcherEnabled, false);
}

void ShortcutService::setOnOpen(std::function<void()> onOpen) {
    onOpen_ = std::move(onOpen);
}

void ShortcutService::setError(const QString& error) {
    if (error == error_) {
        return;
    }
    error_ = error;
    emit errorChanged();
}

QString ShortcutService::label() const {
    return defaults_.textValue(keys::shortcutLabel).value_or(kDefaultLabel);
}

void ShortcutService::setEnabledFlag(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    emit enabledChanged();
}

void ShortcutService::pressed() {
    if (onOpen_) {
        const std::function<void()> onOpen = onOpen_;  // it may replace itself
        onOpen();
    }
}

}  // namespace tessora
