#pragma once

#include <QAbstractButton>

namespace tessora {

// The round button that hides or shows the settings window's sidebar: the sidebar symbol in
// white on a faint disc with a hairline rim. The caller names it ("Hide sidebar", "Show
// sidebar"); the name is also its tooltip.
class SidebarToggle final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SidebarToggle(const QString& name, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {kSide, kSide}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

    // How opaque it is drawn: the "Show sidebar" button fades in as the sidebar leaves.
    qreal opacity() const { return m_opacity; }
    void setOpacity(qreal opacity);

    static constexpr int kSide = 30;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_opacity = 1.0;
};

}  // namespace tessora
