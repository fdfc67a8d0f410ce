#include "app/ShortcutRecorder.h"

#include "app/ShortcutLabel.h"
#include "app/ShortcutService.h"
#include "workspace/SettingsKeys.h"

namespace tessora {

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

ShortcutRecorder::ShortcutRecorder(ShortcutService& service, QObject* parent)
    : QObject(parent), m_service(service) {}

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
                m_service.setLabel(step.label);
                stop();
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
