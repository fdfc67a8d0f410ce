#pragma once

#include "platform/Keys.h"

#include <QObject>
#include <QString>

namespace tessora {

class ShortcutService;

// What one key press does while a new global shortcut is being recorded.
struct RecordingStep {
    enum class Kind {
        Ignore,    // a modifier key alone: keep waiting for the key itself
        Cancel,    // Escape without Ctrl: recording ends, nothing changes
        Refuse,    // no Super, Alt or Ctrl held: `error` is shown, recording goes on
        Register,  // register `combination`; on success store `label`
    };
    Kind kind = Kind::Ignore;
    QString error;
    KeyStroke combination;
    QString label;
};

// The recording rule for one key press: `characters` is what the key types with the modifiers
// ignored (empty for none). Shift alone does not make a shortcut.
RecordingStep recordingStep(const KeyStroke& key, const QString& characters);

// Recording a new shortcut on the settings page. While recording, every key press goes to
// handleKey() (and no further). A refused or unavailable combination leaves the service's error
// shown and recording on; a registered one stores its label and ends recording.
class ShortcutRecorder : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool recording READ recording NOTIFY recordingChanged)

public:
    explicit ShortcutRecorder(ShortcutService& service, QObject* parent = nullptr);

    bool recording() const { return m_recording; }
    void start();
    void stop();
    void handleKey(const KeyStroke& key, const QString& characters);

signals:
    void recordingChanged();

private:
    void setRecording(bool recording);

    ShortcutService& m_service;
    bool m_recording = false;
};

}  // namespace tessora
