#include "app/ShortcutButton.h"

#include "app/ShortcutKeycaps.h"
#include "app/ShortcutLabel.h"
#include "app/ShortcutService.h"
#include "platform/WindowSystem.h"
#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

namespace tessora {

namespace {

const QString kPrompt = QStringLiteral("Press shortcut…");
const QString kHelp = QStringLiteral("Click to change shortcut");

QFont promptFont() {
    return manrope(11, QFont::DemiBold);
}

}  // namespace

QString shortcutButtonAccessibleName(const QString& label) {
    return QStringLiteral("Open Tessora shortcut: ") + keycapTexts(label).join(QLatin1Char('+')) +
           QStringLiteral(". Click to change.");
}

ShortcutButton::ShortcutButton(ShortcutService& shortcut, WindowSystem& windows, QWidget* parent)
    : QAbstractButton(parent),
      m_shortcut(shortcut),
      m_windows(windows),
      m_recorder(shortcut),
      m_keycaps(new ShortcutKeycaps(shortcut.label(), this)),
      m_pressedDimming(new QGraphicsOpacityEffect(this)) {
    installComponentAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(kHelp);
    // The caps are the button's face: clicks on them are the button's.
    m_keycaps->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pressedDimming->setOpacity(0.7);
    m_pressedDimming->setEnabled(false);
    m_keycaps->setGraphicsEffect(m_pressedDimming);

    connect(this, &QAbstractButton::clicked, this, &ShortcutButton::startRecording);
    connect(this, &QAbstractButton::pressed, this, [this] { m_pressedDimming->setEnabled(true); });
    connect(this, &QAbstractButton::released, this,
            [this] { m_pressedDimming->setEnabled(false); });
    connect(&m_shortcut, &ShortcutService::labelChanged, this, &ShortcutButton::followLabel);
    connect(&m_recorder, &ShortcutRecorder::recordingChanged, this,
            &ShortcutButton::followRecording);
    followLabel();
}

ShortcutButton::~ShortcutButton() {
    // Never leave the hot key let go, nor the application's keys watched.
    stopRecording();
}

void ShortcutButton::startRecording() {
    m_recorder.start();
}

void ShortcutButton::stopRecording() {
    m_recorder.stop();
}

QStringList ShortcutButton::shownKeys() const {
    return m_keycaps->shownKeys();
}

void ShortcutButton::followLabel() {
    const QString label = m_shortcut.label();
    m_keycaps->setLabel(label);
    m_keycaps->adjustSize();
    setAccessibleName(shortcutButtonAccessibleName(label));
    updateGeometry();
    placeCaps();
    update();
}

void ShortcutButton::followRecording() {
    const bool recording = m_recorder.recording();
    if (recording && !m_suspending) {
        m_suspending = true;
        m_shortcut.suspend();
        qApp->installEventFilter(this);
    } else if (!recording && m_suspending) {
        m_suspending = false;
        qApp->removeEventFilter(this);
        m_shortcut.resume();
    }
    m_keycaps->setVisible(!recording);
    setAccessibleDescription(recording ? kPrompt : QString());
    updateGeometry();
    update();
    emit recordingChanged();
}

bool ShortcutButton::inOurWindow(QObject* target) const {
    if (const auto* widget = qobject_cast<const QWidget*>(target)) {
        return widget->window() == window();
    }
    // Keys from the window system reach the window's QWindow before its widgets.
    return target != nullptr && target == window()->windowHandle();
}

bool ShortcutButton::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) {
        return false;
    }
    if (!m_recorder.recording() || !inOurWindow(watched)) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        // Claimed, so that no shortcut of the window fires: the press itself comes next.
        event->accept();
        return true;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!key.isAutoRepeat()) {
        takeKey(key);
    }
    return true;
}

void ShortcutButton::takeKey(const QKeyEvent& key) {
    const KeyStroke stroke = m_windows.keyStroke(key.key(), key.modifiers(), key.nativeScanCode());
    // What the key types goes into the label only where the label still names the combination
    // (Shift+1 types "!", yet the combination is Shift and 1).
    QString characters = key.text();
    if (!labelDescribes(shortcutLabel(stroke, characters), stroke)) {
        characters.clear();
    }
    m_recorder.handleKey(stroke, characters);
}

QSize ShortcutButton::promptSize() const {
    const QFontMetrics metrics(promptFont());
    return {metrics.horizontalAdvance(kPrompt) + 2 * kPromptPadding, metrics.height()};
}

QSize ShortcutButton::sizeHint() const {
    const QSize caps = m_keycaps->sizeHint();
    if (!m_recorder.recording()) {
        return caps;
    }
    // As tall as the caps, so that the row around it does not jump.
    return {promptSize().width(), qMax(caps.height(), promptSize().height())};
}

void ShortcutButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    placeCaps();
}

void ShortcutButton::placeCaps() {
    QRect caps(QPoint(), m_keycaps->sizeHint());
    caps.moveCenter(rect().center());
    m_keycaps->setGeometry(caps);
}

void ShortcutButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_recorder.recording()) {
        painter.setFont(promptFont());
        painter.setPen(palette::accent());
        if (isDown()) {
            painter.setOpacity(0.7);
        }
        painter.drawText(rect().adjusted(kPromptPadding, 0, -kPromptPadding, 0), Qt::AlignCenter,
                         kPrompt);
        painter.setOpacity(1.0);
    }
    if (showsKeyboardFocus(*this)) {
        const QRectF ring = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
        painter.strokePath(continuousRoundedRect(ring, 9), QPen(palette::accent(), 1.5));
    }
}

void ShortcutButton::hideEvent(QHideEvent* event) {
    stopRecording();
    QAbstractButton::hideEvent(event);
}

bool ShortcutButton::event(QEvent* event) {
    // Keys typed into another window would never reach us, and the hot key would stay let go.
    if (event->type() == QEvent::WindowDeactivate) {
        stopRecording();
    }
    return QAbstractButton::event(event);
}

}  // namespace tessora
