#pragma once

#include <QAbstractButton>

namespace tessora {

// The system's push button: Manrope text on a rounded plate. Primary buttons are dark text on
// the accent colour; destructive ones white on red; the rest white on the faint surface. Both
// of the latter carry a hairline border. Pressed it fades to 70 %, disabled to 45 %.
class OrreryButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool primary READ isPrimary WRITE setPrimary NOTIFY primaryChanged)
    Q_PROPERTY(bool destructive READ isDestructive WRITE setDestructive NOTIFY destructiveChanged)

public:
    explicit OrreryButton(const QString& text = {}, QWidget* parent = nullptr);
    OrreryButton(const QString& text, bool primary, bool destructive = false,
                 QWidget* parent = nullptr);

    bool isPrimary() const { return m_primary; }
    void setPrimary(bool primary);
    // Drawn only when the button is not also primary.
    bool isDestructive() const { return m_destructive; }
    void setDestructive(bool destructive);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kHeight = 34;
    static constexpr int kPadding = 15;
    static constexpr qreal kRadius = 8;

signals:
    void primaryChanged(bool primary);
    void destructiveChanged(bool destructive);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_primary = false;
    bool m_destructive = false;
};

}  // namespace tessora
