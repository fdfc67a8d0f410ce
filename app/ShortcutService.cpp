#include "app/ShortcutService.h"

#include "app/ShortcutLabel.h"
#include "workspace/SettingsKeys.h"

#include <limits>
#include <utility>

namespace tessora {

namespace {

const QString kDefaultLabel = QStringLiteral("⌘esc");
const QString kUnavailable =
    QStringLiteral("This shortcut is unavailable. Try another combination.");
const QString kPreviousRemains = QStringLiteral(" Your previous shortcut remains active.");

// A stored value as a 32-bit key code or mask; absent when missing, of another type or out of
// range (a corrupt store).
std::optional<quint32> storedUnsigned(const DefaultsStore& defaults, const char* key) {
    const std::optional<qint64> value = defaults.integerValue(QLatin1String(key));
    if (!value || *value < 0 || *value > std::numeric_limits<quint32>::max()) {
        return std::nullopt;
    }
    return static_cast<quint32>(*value);
}

// A combination has to hold Ctrl, Alt or Super: one without would take an ordinary key away
// from every application.
bool holdsCommandModifier(const KeyStroke& stroke) {
    return stroke.modifiers & (KeyModifier::Ctrl | KeyModifier::Alt | KeyModifier::Super);
}

}  // namespace

ShortcutService::ShortcutService(WindowSystem& windows, DefaultsStore& defaults, QObject* parent)
    : QObject(parent), m_windows(windows), m_defaults(defaults) {
    // Earlier layouts stored combinations in another form: they are replaced by the default.
    if (m_defaults.boolValue(keys::shortcutV2) != true) {
        m_defaults.setInteger(keys::shortcutCode, defaultStoredShortcut.keyCode);
        m_defaults.setInteger(keys::shortcutModifiers, defaultStoredShortcut.modifiers);
        m_defaults.setText(keys::shortcutLabel, kDefaultLabel);
        m_defaults.setBool(keys::shortcutV2, true);
    }
    m_enabled = m_defaults.boolValue(keys::launcherEnabled).value_or(true);
    if (m_enabled) {
        registerStored();
    }
}

ShortcutService::~ShortcutService() {
    m_hotKey.reset();
}

KeyStroke ShortcutService::storedCombination() const {
    StoredShortcut stored{
        storedUnsigned(m_defaults, keys::shortcutCode).value_or(defaultStoredShortcut.keyCode),
        storedUnsigned(m_defaults, keys::shortcutModifiers)
            .value_or(defaultStoredShortcut.modifiers)};
    // A code that names no key, or a mask with bits no modifier flag has, is as corrupt as one
    // out of range: its default stands in.
    if (!decodeShortcut({stored.keyCode, defaultStoredShortcut.modifiers})) {
        stored.keyCode = defaultStoredShortcut.keyCode;
    }
    if (!decodeShortcut({defaultStoredShortcut.keyCode, stored.modifiers})) {
        stored.modifiers = defaultStoredShortcut.modifiers;
    }
    const KeyStroke combination = *decodeShortcut(stored);
    // No recording stores a combination without Ctrl, Alt or Super; one found in the store is
    // corrupt and gives way to the default.
    return holdsCommandModifier(combination) ? combination : *decodeShortcut(defaultStoredShortcut);
}

QString ShortcutService::unavailableText() const {
    const bool previousHeld = m_hotKey || m_releasedBySuspension;
    return previousHeld ? kUnavailable + kPreviousRemains : kUnavailable;
}

void ShortcutService::registerStored() {
    registerCombination(storedCombination());
}

bool ShortcutService::registerCombination(const KeyStroke& combination) {
    const std::optional<StoredShortcut> stored = encodeShortcut(combination);
    std::unique_ptr<InputGrab> grab =
        stored ? m_windows.grabHotKey(combination, [this] { pressed(); }) : nullptr;
    if (!grab) {
        setError(unavailableText());
        return false;
    }
    const QString labelBefore = label();
    // The new hot key is live before the old one is let go.
    std::unique_ptr<InputGrab> previous = std::exchange(m_hotKey, std::move(grab));
    previous.reset();
    m_releasedBySuspension = false;  // the new one replaces whatever a suspension let go
    setError(QString());
    setEnabledFlag(true);
    m_defaults.setInteger(keys::shortcutCode, stored->keyCode);
    m_defaults.setInteger(keys::shortcutModifiers, stored->modifiers);
    m_defaults.setBool(keys::launcherEnabled, true);
    if (label() != labelBefore) {
        emit labelChanged();
    }
    return true;
}

void ShortcutService::setLabel(const QString& text) {
    const QString before = label();
    m_defaults.setText(keys::shortcutLabel, text);
    if (label() != before) {
        emit labelChanged();
    }
}

void ShortcutService::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    setEnabledFlag(enabled);
    m_defaults.setBool(keys::launcherEnabled, enabled);
    if (enabled) {
        registerStored();
    } else {
        m_hotKey.reset();
        m_releasedBySuspension = false;
    }
}

void ShortcutService::suspend() {
    if (m_suspensions++ > 0) {
        return;
    }
    m_releasedBySuspension = m_hotKey != nullptr;
    m_hotKey.reset();
}

void ShortcutService::resume() {
    if (m_suspensions == 0 || --m_suspensions > 0) {
        return;
    }
    if (!std::exchange(m_releasedBySuspension, false) || m_hotKey) {
        return;
    }
    // The stored combination is the one let go. Taking it back changes nothing the user sees,
    // unless another program took it in the meantime.
    m_hotKey = m_windows.grabHotKey(storedCombination(), [this] { pressed(); });
    if (!m_hotKey) {
        setError(unavailableText());
    }
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
    // The stored combination is the one held (each registration stores it), or the one tried.
    const KeyStroke combination = storedCombination();
    const std::optional<QString> stored = m_defaults.textValue(keys::shortcutLabel);
    if (stored && labelDescribes(*stored, combination)) {
        return *stored;
    }
    return shortcutLabel(combination, QString());
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
