#pragma once

#include <QProxyStyle>

namespace tessora {

// The launcher's vertical scroll bars: a thin light handle on an invisible track, without arrow
// buttons, that brightens under the pointer; it suits the dark panel. Everything else is the
// application's style. Painted here rather than with a style sheet, whose machinery would stay
// in the resident program for one scroll bar.
class ThinScrollBarStyle final : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int barWidth = 10;
    static constexpr int sideMargin = 2;
    static constexpr int endMargin = 4;
    static constexpr int minimumHandle = 28;
    static constexpr double handleRadius = 3;

    explicit ThinScrollBarStyle(QObject* parent = nullptr);

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point,
                                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

}  // namespace tessora
