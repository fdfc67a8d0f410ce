#include "launcher/ItemScrollView.h"

#include "launcher/ThinScrollBarStyle.h"

#include <QAccessible>
#include <QCursor>
#include <QEasingCurve>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVariantAnimation>
#include <cmath>

namespace tessora {

namespace {

// The standard ease-out timing curve.
QEasingCurve easeOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

}  // namespace

ItemScrollView::ItemScrollView(QWidget* parent)
    : QAbstractScrollArea(parent), m_scroll(new QVariantAnimation(this)) {
    setFrameShape(QFrame::NoFrame);
    // Clicks choose items, the search field keeps the keyboard: what is typed is searched for.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setStyle(new ThinScrollBarStyle(this));
    verticalScrollBar()->setAttribute(Qt::WA_Hover);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setAutoFillBackground(false);
    m_scroll->setEasingCurve(easeOut());
    connect(m_scroll, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { verticalScrollBar()->setValue(value.toInt()); });
    connect(m_scroll, &QVariantAnimation::finished, this, &ItemScrollView::scrollFinished);
}

ItemScrollView::~ItemScrollView() = default;

void ItemScrollView::setItemMetrics(const ItemGridMetrics& metrics) {
    if (metrics == m_metrics) {
        return;
    }
    m_metrics = metrics;
    relayout();
}

void ItemScrollView::setItemCount(int count) {
    if (count == m_count) {
        viewport()->update();
        return;
    }
    m_count = count;
    if (m_pressed >= m_count) {
        m_pressed = -1;
    }
    relayout();
}

void ItemScrollView::relayout() {
    m_geometry = ItemGridGeometry(m_metrics, viewport()->width(), m_count);
    QScrollBar* bar = verticalScrollBar();
    const int range =
        std::max(0, static_cast<int>(std::ceil(m_geometry.contentHeight())) - viewport()->height());
    bar->setRange(0, range);
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(24);
    if (m_scroll->state() == QAbstractAnimation::Running && m_scroll->endValue().toInt() > range) {
        m_scroll->stop();
    }
    viewport()->update();
}

QRectF ItemScrollView::itemRectInViewport(int index) const {
    return m_geometry.itemRect(index).translated(0, -verticalScrollBar()->value());
}

std::pair<int, int> ItemScrollView::visibleItems() const {
    const double top = verticalScrollBar()->value();
    return m_geometry.itemsBetween(top, top + viewport()->height());
}

void ItemScrollView::revealItem(int index, int milliseconds) {
    if (index < 0 || index >= m_count) {
        return;
    }
    const QRectF item = m_geometry.itemRect(index);
    const int height = viewport()->height();
    const int from = scrollTarget();
    int to = from;
    if (item.top() < from) {
        to = static_cast<int>(std::floor(item.top()));
    } else if (item.bottom() > from + height) {
        to = static_cast<int>(std::ceil(item.bottom())) - height;
    }
    to = std::clamp(to, 0, verticalScrollBar()->maximum());
    if (to == from) {
        return;
    }
    m_scroll->stop();
    if (milliseconds <= 0) {
        verticalScrollBar()->setValue(to);
        emit scrollFinished();
        return;
    }
    m_scroll->setDuration(milliseconds);
    m_scroll->setStartValue(verticalScrollBar()->value());
    m_scroll->setEndValue(to);
    m_scroll->start();
}

void ItemScrollView::scrollToTop() {
    m_scroll->stop();
    verticalScrollBar()->setValue(0);
}

void ItemScrollView::restart() {
    scrollToTop();
    m_pressed = -1;
    m_hovered = -1;
}

int ItemScrollView::scrollTarget() const {
    return isScrolling() ? m_scroll->endValue().toInt() : verticalScrollBar()->value();
}

bool ItemScrollView::isScrolling() const {
    return m_scroll->state() == QAbstractAnimation::Running;
}

void ItemScrollView::setListOrGrid(bool grid, int columns, const QMarginsF& padding) {
    ItemGridMetrics metrics;
    metrics.padding = padding;
    if (grid) {
        metrics.columns = columns;
        metrics.itemHeight = 94;
        metrics.rowSpacing = 10;
        metrics.columnSpacing = 8;
    }
    setItemMetrics(metrics);
}

void ItemScrollView::followHighlight(int index, int milliseconds) {
    viewport()->update();
    if (index >= 0 && index < itemCount()) {
        revealItem(index, milliseconds);
        announceHighlight(index);
    }
}

void ItemScrollView::announceHighlight(int index) {
    if (!QAccessible::isActive() || index < 0 || index >= m_count) {
        return;
    }
    const auto [first, last] = visibleItems();
    if (index < first || index >= last) {
        return;
    }
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(index - first);
    QAccessible::updateAccessibility(&event);
}

void ItemScrollView::hoverItem(int) {}

void ItemScrollView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const double top = verticalScrollBar()->value();
    const QRectF dirty = event->rect();
    const auto [first, last] = m_geometry.itemsBetween(top + dirty.top(), top + dirty.bottom() + 1);
    for (int i = first; i < last; ++i) {
        const QRectF rect = itemRectInViewport(i);
        if (rect.intersects(dirty)) {
            painter.save();
            paintItem(painter, i, rect);
            painter.restore();
        }
    }
}

void ItemScrollView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

int ItemScrollView::itemAtViewport(QPointF point) const {
    return m_geometry.itemAt(point + QPointF(0, verticalScrollBar()->value()));
}

void ItemScrollView::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton ? itemAtViewport(event->position()) : -1;
    event->accept();
}

void ItemScrollView::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = m_pressed;
    m_pressed = -1;
    if (event->button() == Qt::LeftButton && pressed >= 0 &&
        itemAtViewport(event->position()) == pressed) {
        activateItem(pressed);
    }
    event->accept();
}

void ItemScrollView::mouseMoveEvent(QMouseEvent* event) {
    setHovered(itemAtViewport(event->position()));
}

bool ItemScrollView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        setHovered(-1);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ItemScrollView::setHovered(int index) {
    if (index == m_hovered) {
        return;
    }
    // Leaving one item clears the hover before the next one is entered.
    if (m_hovered >= 0) {
        m_hovered = -1;
        hoverItem(-1);
    }
    m_hovered = index;
    if (index >= 0) {
        hoverItem(index);
    }
}

void ItemScrollView::scrollContentsBy(int, int) {
    // Items under a still pointer change while scrolling.
    if (m_hovered >= 0 && viewport()->underMouse()) {
        setHovered(itemAtViewport(viewport()->mapFromGlobal(QCursor::pos())));
    }
    viewport()->update();
}

}  // namespace tessora
