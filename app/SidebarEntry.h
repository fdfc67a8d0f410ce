#pragma once

#include <QAbstractButton>
#include <QPainterPath>
#include <QPointer>

#include <functional>

namespace tessora {

// One page of the settings window in its sidebar: a symbol and the page's name, filled with
// the accent colour (dark text) while its page is shown, plain secondary text otherwise. An
// accessory widget (the attention badge) may sit at the trailing end. Screen readers see a
// button that is marked selected while its page is shown.
class SidebarEntry final : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected NOTIFY selectedChanged)

public:
    // `symbol` draws the entry's symbol into the frame it is given.
    SidebarEntry(const QString& title, std::function<QPainterPath(const QRectF&)> symbol,
                 QWidget* parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // Places `accessory` (owned by the entry from then on) at the trailing end.
    void setAccessory(QWidget* accessory);
    QWidget* accessory() const { return m_accessory; }

    // The colour of the title and the symbol.
    QColor inkColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kHeight = 39;
    static constexpr int kPadding = 12;
    static constexpr int kSymbolWidth = 18;
    static constexpr int kSpacing = 10;
    static constexpr qreal kRadius = 9;

signals:
    void selectedChanged(bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeAccessory();

    std::function<QPainterPath(const QRectF&)> m_symbol;
    bool m_selected = false;
    QPointer<QWidget> m_accessory;
};

}  // namespace tessora
