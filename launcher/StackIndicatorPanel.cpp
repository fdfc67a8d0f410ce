#include "launcher/StackIndicatorPanel.h"

#include "launcher/FloatingPill.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include <memory>

namespace tessora {

using namespace stackindicator;

class StackIndicatorPanel::Pill final : public FloatingPill {
public:
    using FloatingPill::FloatingPill;

    void setDots(QList<QRectF> dots) {
        m_dots = std::move(dots);
        update();
    }

    StackIndicatorView::ClickHandler onClick;

protected:
    void paintEvent(QPaintEvent*) override {
        const QColor fill = isDark() ? Qt::black : Qt::white;
        const QColor ink = isDark() ? Qt::white : Qt::black;
        QPainter painter(this);
        painter.fillRect(rect(), fill);
        painter.setRenderHint(QPainter::Antialiasing);
        paintCastShadow(painter, pillCornerRadius);
        const double inset = pillBorderWidth / 2;
        painter.setPen(QPen(ink, pillBorderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                                pillCornerRadius - inset, pillCornerRadius - inset);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        for (const QRectF& dot : std::as_const(m_dots)) {
            painter.drawRoundedRect(dot, dotCornerRadius, dotCornerRadius);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        // Called through a copy: the click may drop the panel, which clears the handler.
        if (const StackIndicatorView::ClickHandler handler = onClick) {
            handler(event->position());
        }
    }

private:
    QList<QRectF> m_dots;
};

StackIndicatorPanel::StackIndicatorPanel(WindowSystem& windows) : m_pill(new Pill(windows)) {}

StackIndicatorPanel::~StackIndicatorPanel() {
    m_pill->onClick = nullptr;
    m_pill->hide();
    m_pill->deleteLater();
}

void StackIndicatorPanel::show(const WindowRect& frame, Orientation orientation,
                               const QList<QRectF>& dots) {
    Q_UNUSED(orientation);  // the dots already lie along the pill's length
    const QRect geometry = qtGeometry(frame, QGuiApplication::primaryScreen());
    m_pill->setShape(geometry.size(), pillCornerRadius);
    m_pill->place(geometry.topLeft());
    m_pill->setDots(dots);
    if (!m_pill->isVisible()) {
        m_pill->show();
    }
    m_pill->raise();
}

void StackIndicatorPanel::hide() {
    m_pill->hide();
}

void StackIndicatorPanel::setClickHandler(ClickHandler handler) {
    m_pill->onClick = std::move(handler);
}

QWidget* StackIndicatorPanel::widget() const {
    return m_pill;
}

QRect StackIndicatorPanel::qtGeometry(const WindowRect& frame, const QScreen* primary) {
    const QPointF origin = primary ? QPointF(primary->geometry().topLeft()) : QPointF();
    const QPointF centre = origin + QPointF(frame.midX(), frame.midY());
    const QSize size(static_cast<int>(std::lround(frame.width)),
                     static_cast<int>(std::lround(frame.height)));
    const QPoint topLeft(static_cast<int>(std::lround(centre.x() - size.width() / 2.0)),
                         static_cast<int>(std::lround(centre.y() - size.height() / 2.0)));
    return QRect(topLeft, size);
}

StackIndicatorViewFactory stackIndicatorPanelFactory(WindowSystem& windows) {
    return [&windows] { return std::make_unique<StackIndicatorPanel>(windows); };
}

}  // namespace tessora
