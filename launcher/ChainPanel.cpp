#include "launcher/ChainPanel.h"

#include "launcher/StackIndicatorPanel.h"

#include "launcher/FloatingPill.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <memory>

namespace tessora {

using namespace ribbondots;

namespace {

// A dot as assistive technology meets it: a button named after its column's application. The
// pill paints the dots and takes the clicks itself (a click between two dots selects nothing),
// so the button draws nothing and lets the mouse through; a screen reader presses it.
class DotButton final : public QAbstractButton {
public:
    explicit DotButton(QWidget* parent) : QAbstractButton(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleDescription(tooltipText());
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

}  // namespace

class ChainPanel::Pill final : public FloatingPill {
public:
    explicit Pill(WindowSystem& windows) : FloatingPill(windows) {
        setToolTip(tooltipText());
        setAccessibleName(QStringLiteral("Chain columns"));
    }

    void setDots(Dots dots) {
        m_dots = std::move(dots);
        while (m_buttons.size() > m_dots.count()) {
            delete m_buttons.takeLast();
        }
        while (m_buttons.size() < m_dots.count()) {
            auto* button = new DotButton(this);
            const int index = static_cast<int>(m_buttons.size());
            connect(button, &QAbstractButton::clicked, this, [this, index] {
                if (const auto select = handlers.selectColumn) {
                    select(index);
                }
            });
            button->show();
            m_buttons.append(button);
        }
        for (int i = 0; i < m_dots.count(); ++i) {
            m_buttons[i]->setGeometry(dotRect(m_dots, i).toAlignedRect());
            m_buttons[i]->setAccessibleName(m_dots.names[i]);
        }
        update();
    }

    const QList<QAbstractButton*>& dotButtons() const { return m_buttons; }

    Handlers handlers;

protected:
    void paintEvent(QPaintEvent*) override {
        const bool dark = isDark();
        QColor fill = dark ? Qt::black : Qt::white;
        fill.setAlphaF(pillOpacity);
        QColor border = dark ? Qt::white : Qt::black;
        border.setAlphaF(borderOpacity);
        const QColor ink = dark ? Qt::white : Qt::black;

        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double radius = height() / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
        paintCastShadow(painter, radius);
        // The border lies inside the capsule's outline.
        const double inset = borderWidth / 2;
        painter.setPen(QPen(border, borderWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                                radius - inset, radius - inset);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < m_dots.count(); ++i) {
            QColor dot = ink;
            dot.setAlphaF(i == m_dots.activeIndex ? 1.0 : inactiveDotOpacity);
            painter.setBrush(dot);
            const QRectF r = dotRect(m_dots, i);
            painter.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() != Qt::LeftButton) {
            return;
        }
        const std::optional<int> index = dotAt(m_dots, event->position());
        // Called through a copy: the call may drop the panel, which clears the handlers.
        if (const auto select = handlers.selectColumn; index && select) {
            select(*index);
        }
    }

    void wheelEvent(QWheelEvent* event) override {
        event->accept();
        ScrollInput input;
        if (!event->pixelDelta().isNull()) {
            input.precise = true;
            input.deltaX = event->pixelDelta().x();
            input.deltaY = event->pixelDelta().y();
        } else {
            // One notch of a wheel is 120 eighths of a degree.
            input.deltaX = event->angleDelta().x() / 120.0;
            input.deltaY = event->angleDelta().y() / 120.0;
        }
        input.location = event->globalPosition();
        if (const auto scroll = handlers.scroll) {
            scroll(input);
        }
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        event->accept();
        QMenu menu;
        QAction* endAction = menu.addAction(endActionText());
        // The action runs after the menu has closed, outside its event loop.
        if (menu.exec(event->globalPos()) == endAction) {
            if (const auto endLayout = handlers.endLayout) {
                endLayout();
            }
        }
    }

private:
    Dots m_dots;
    QList<QAbstractButton*> m_buttons;
};

ChainPanel::ChainPanel(WindowSystem& windows) : m_pill(new Pill(windows)) {}

ChainPanel::~ChainPanel() {
    m_pill->handlers = {};
    m_pill->hide();
    m_pill->deleteLater();
}

void ChainPanel::show(const WindowRect& frame, const Dots& dots) {
    const QRect geometry = StackIndicatorPanel::qtGeometry(frame, QGuiApplication::primaryScreen());
    m_pill->setShape(geometry.size(), geometry.height() / 2.0);
    m_pill->place(geometry.topLeft());
    m_pill->setDots(dots);
    if (!m_pill->isVisible()) {
        m_pill->show();
    }
    m_pill->raise();
}

void ChainPanel::setDots(const Dots& dots) {
    m_pill->setDots(dots);
}

void ChainPanel::setHandlers(Handlers handlers) {
    m_pill->handlers = std::move(handlers);
}

QWidget* ChainPanel::widget() const {
    return m_pill;
}

QList<QAbstractButton*> ChainPanel::dotButtons() const {
    return m_pill->dotButtons();
}

RibbonPanelViewFactory chainPanelFactory(WindowSystem& windows) {
    return [&windows] { return std::make_unique<ChainPanel>(windows); };
}

}  // namespace tessora
