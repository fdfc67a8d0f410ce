#pragma once

#include "app/ShortcutRecorder.h"

#include <QAbstractButton>
#include <QPointer>

class QGraphicsOpacityEffect;

namespace tessora {

class ShortcutKeycaps;
class ShortcutService;
class WindowSystem;

// The global shortcut shown as key caps; pressing it records a new one. While recording, every
// key pressed in this button's window goes to the recorder instead of the focused widget, and
// our own hot key is let go, so that pressing the current combination records it again.
// Recording ends with Escape, with a combination that could be registered, when the button is
// hidden (its page or window closes) and when the window loses the keyboard to another one;
// then keys reach the window as usual again and the hot key is back.
class ShortcutButton final : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool recording READ recording NOTIFY recordingChanged)

public:
    ShortcutButton(ShortcutService& shortcut, WindowSystem& windows, QWidget* parent = nullptr);
    ~ShortcutButton() override;

    bool recording() const { return m_recorder.recording(); }
    void startRecording();
    void stopRecording();

    // The key caps shown while not recording, as written on them ("Ctrl", "esc").
    QStringList shownKeys() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kCapSpacing = 6;
    static constexpr int kPromptPadding = 12;

signals:
    void recordingChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void followLabel();
    void followRecording();
    // Centres the caps in the button.
    void placeCaps();
    // Whether a key event sent to `target` was typed into this button's window.
    bool inOurWindow(QObject* target) const;
    void takeKey(const QKeyEvent& key);
    QSize promptSize() const;

    ShortcutService& m_shortcut;
    WindowSystem& m_windows;
    ShortcutRecorder m_recorder;
    ShortcutKeycaps* m_keycaps;
    QGraphicsOpacityEffect* m_pressedDimming;
    // Whether this button holds the hot key off (and watches the application's keys).
    bool m_suspending = false;
};

// The spoken name of the button for `label`, a stored shortcut label: the key caps' names
// joined by "+", which a screen reader can say ("Ctrl+esc" rather than "⌘esc").
QString shortcutButtonAccessibleName(const QString& label);

}  // namespace tessora
