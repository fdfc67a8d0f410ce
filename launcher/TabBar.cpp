#include "launcher/TabBar.h"

#include "launcher/LauncherPainting.h"
#include "launcher/LauncherState.h"
#include "preferences/Shapes.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>

namespace tessora {

using namespace launcherpaint;

TabPill::TabPill(const QString& title, QWidget* parent) : QAbstractButton(parent) {
    setText(title);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

QFont TabPill::titleFont() const {
    return textFont(12, m_current ? QFont::DemiBold : QFont::Medium);
}

void TabPill::setCurrent(bool current) {
    if (current == m_current) {
        return;
    }
    m_current = current;
    updateGeometry();
    update();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

QSize TabPill::sizeHint() const {
    return {QFontMetrics(titleFont()).horizontalAdvance(text()) + 26, 27};
}

void TabPill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = rect();
    painter.fillPath(capsule(pill), white(m_current ? 0.13 : 0.045));
    painter.setPen(QPen(white(m_current ? 0.22 : 0.08), 1));
    painter.drawPath(capsule(pill.adjusted(0.5, 0.5, -0.5, -0.5)));
    painter.setFont(titleFont());
    painter.setPen(m_current ? white(1) : white(0.6));
    painter.drawText(pill, Qt::AlignCenter, text());
}

TabBar::TabBar(LauncherState& state, QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_apps(new TabPill(QStringLiteral("Applications"), this)),
      m_layouts(new TabPill(QStringLiteral("Layouts"), this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(24, 16, 24, 8);
    row->setSpacing(7);
    row->addStretch(1);
    row->addWidget(m_apps);
    row->addWidget(m_layouts);
    row->addStretch(1);
    connect(m_apps, &QAbstractButton::clicked, this,
            [this] { emit pillActivated(LauncherTab::Applications); });
    connect(m_layouts, &QAbstractButton::clicked, this,
            [this] { emit pillActivated(LauncherTab::Layouts); });
    connect(&m_state, &LauncherState::tabChanged, this, &TabBar::refresh);
    refresh();
}

void TabBar::refresh() {
    m_apps->setCurrent(m_state.tab() == LauncherTab::Applications);
    m_layouts->setCurrent(m_state.tab() == LauncherTab::Layouts);
}

}  // namespace tessora
