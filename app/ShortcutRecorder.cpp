#include "app/ShortcutRecorder.h"

#include "app/ShortcutService.h"
#include "workspace/SettingsKeys.h"

namespace tessora {

namespace {

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

QString shortcutLabel(const KeyStroke& key, const QString& characters) {
    QString label;
    if (key.modifiers & KeyModifier::Super) {
        label += QChar(0x2303);  // ⌃
    }
    if (key.modifiers & KeyModifier::Alt) {
        label += QChar(0x2325);  // ⌥
    }
    if (key.modifiers & KeyModifier::Shift) {
        label += QChar(0x21E7);  // ⇧
    }
    if (key.modifiers & KeyModifier::Ctrl) {
        label += QChar(0x2318);  // ⌘
    }
    if (key.key == keysym::escape) {
        return label + QStringLiteral("esc");
    }
    if (key.key == keysym::space) {
        return label + QStringLiteral("Space");
    }
    if (printable(characters)) {
        return label + characters.toUpper();
    }
    const QString name = keyName(key.key);
    return label + (name.isEmpty() ? QStringLiteral("Key %1").arg(key.key, 0, 16) : name);
}

RecordingStep recordingStep(const KeyStroke& key, const QString& characters) {
    RecordingStep step;
    if (isModifierKey(key.key)) {
        return step;
    }
    if (key.key == keysym::escape && !(key.modifiers & KeyModifier::Ctrl)) {
        step.kind = RecordingStep::Kind::Cancel;
        return step;
    }
    if (!(key.modifiers & (KeyModifier::Ctrl | KeyModifier::Alt | KeyModifier::Super))) {
        step.kind = RecordingStep::Kind::Refuse;
        step.error = QStringLiteral("Include Super, Alt or Ctrl.");
        return step;
    }
    step.kind = RecordingStep::Kind::Register;
    step.combination = key;
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

void ShortcutRecorder::handleKey(const KeyStroke& key, const QString& characters) {
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
            if (m_service.registerCombination(step.combination)) {
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
