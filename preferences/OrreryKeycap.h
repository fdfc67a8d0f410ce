#pragma once

#include <QStringList>
#include <QWidget>

namespace tessora {

// Splits a stored shortcut label into its key caps: each leading ⌃, ⌥, ⇧ or ⌘ is a cap of its
// own and the rest is the last cap, "esc", "delete", "return" and "tab" in lower case whatever
// case they were stored in, "?" when nothing is left. "⇧⌘K" gives ⇧, ⌘, K.
QStringList keycaps(const QString& label);

// The text a cap shows for a stored key: labels keep the modifier symbols of the stored
// format, caps name this platform's keys (⌘ Ctrl, ⌃ Super, ⌥ Alt, ⇧ Shift).
QString keycapText(const QString& key);

// The texts of a stored label's caps, in order: keycapText of each of keycaps(label).
QStringList keycapTexts(const QString& label);

// One keyboard key drawn as a physical cap: a dark base with a lighter gradient face, the key's
// name on it. The cap is at least 36 × 36 and widens with its text; the widget is 4 px taller
// than the cap so that the shadow under it shows.
class OrreryKeycap : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString key READ key WRITE setKey NOTIFY keyChanged)

public:
    explicit OrreryKeycap(const QString& key = {}, QWidget* parent = nullptr);

    QString key() const { return m_key; }
    void setKey(const QString& key);
    QString displayText() const { return keycapText(m_key); }

    // The cap itself, without the room below it for its shadow.
    QRect capRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kMinimumSide = 36;
    static constexpr int kPadding = 12;
    static constexpr int kShadowRoom = 4;

signals:
    void keyChanged(const QString& key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QSize capSize() const;

    QString m_key;
};

}  // namespace tessora
