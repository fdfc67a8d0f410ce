#include "app/ShortcutRecorder.h"

#include "app/ShortcutService.h"
#include "platform/MacKeyCodes.h"
#include "workspace/SettingsKeys.h"

namespace tessora {

namespace {

constexpr quint32 kSpace = 49;

// Text fit for a key cap: something visible, no control characters ("\r" for Return).
bool printable(const QString& characters) {
    bool visible = false;
    for (const QChar c : characters) {
        if (!c.isPrint()) {
            return false;
        }
        visible = visible || !c.isSpace();
    }
    return visible;
}

}  // namespace

QString shortcutLabel(const KeyInput& key, const QString& characters) {
    QString label;
    if (key.modifiers & KeyModifiers::control) {
        label += QChar(0x2303);  // ⌃
    }
    if (key.modifiers & KeyModifiers::option) {
        label += QChar(0x2325);  // ⌥
    }
    if (key.modifiers & KeyModifiers::shift) {
        label += QChar(0x21E7);  // ⇧
    }
    if (key.modifiers & KeyModifiers::command) {
        label += QChar(0x2318);  // ⌘
    }
    if (key.keyCode == KeyCodes::escape) {
        return label + QStringLiteral("esc");
    }
    if (key.keyCode == kSpace) {
        return label + QStringLiteral("Space");
    }
    if (printable(characters)) {
        return label + characters.toUpper();
    }
    const QString name = mackeys::keyName(key.keyCode);
    return label + (name.isEmpty() ? QStringLiteral("Key %1").arg(key.keyCode) : name);
}

RecordingStep recordingStep(const KeyInput& key, const QString& characters) {
    RecordingStep step;
    if (mackeys::isModifierKey(key.keyCode)) {
        return step;
    }
    if (key.keyCode == KeyCodes::escape && !(key.modifiers & KeyModifiers::command)) {
        step.kind = RecordingStep::Kind::Cancel;
        return step;
    }
    const quint32 needed = KeyModifiers::command | KeyModifiers::option | KeyModifiers::control;
    if (!(key.modifiers & needed)) {
        step.kind = RecordingStep::Kind::Refuse;
        step.error = QStringLiteral("Include Super, Alt or Ctrl.");
        return step;
    }
    step.kind = RecordingStep::Kind::Register;
    step.keyCode = key.keyCode;
    step.carbonModifiers = ShortcutService::carbonFromModifiers(key.modifiers);
    step.label = shortcutLabel(key, characters);
    return step;
}

ShortcutRecorder::ShortcutRecorder(ShortcutService& service, DefaultsStore& defaults,
                                   QObject* parent)
    : QObject(parent), m_service(service), m_defaults(defaults) {}

void ShortcutRecorder::start() {
    setRecording(true);
}

void ShortcutRecorder::stop() {
    setRecording(false);
}

void ShortcutRecorder::handleKey(const KeyInput& key, const QString& characters) {
    if (!m_recording) {
        return;
    }
    const RecordingStep step = recordingStep(key, characters);
    switch (step.kind) {
        case RecordingStep::Kind::Ignore:
            return;
        case RecordingStep::Kind::Cancel:
            stop();
            return;
        case RecordingStep::Kind::Refuse:
            m_service.setError(step.error);
            return;
        case RecordingStep::Kind::Register:
            if (m_service.registerCombination(step.keyCode, step.carbonModifiers)) {
                m_defaults.setText(keys::shortcutLabel, step.label);
                stop();
                emit labelChanged(step.label);
            }
            return;
    }
}

void ShortcutRecorder::setRecording(bool recording) {
    if (recording == m_recording) {
        return;
    }
    m_recording = recording;
    emit recordingChanged();
}

}  // namespace tessora
