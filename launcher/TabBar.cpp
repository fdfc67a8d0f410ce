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
    return textFont(12, current_ ? QFont::DemiBold : QFont::Medium);
}

void TabPill::setCurrent(bool current) {
    if (current == current_) {
        return;
    }
    current_ = current;
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
    painter.fillPath(capsule(pill), white(current_ ? 0.13 : 0.045));
    painter.setPen(QPen(white(current_ ? 0.22 : 0.08), 1));
    painter.drawPath(capsule(pill.adjusted(0.5, 0.5, -0.5, -0.5)));
    painter.setFont(titleFont());
    painter.setPen(current_ ? white(1) : white(0.6));
    painter.drawText(pill, Qt::AlignCenter, text());
}

TabBar::TabBar(LauncherState& state, QWidget* parent)
    : QWidget(parent),
      state_(state),
      apps_(new TabPill(QStringLiteral("Applications"), this)),
      layouts_(new TabPill(QStringLiteral("Layouts"), this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(24, 16, 24, 8);
    row->setSpacing(7);
    row->addStretch(1);
    row->addWidget(apps_);
    row->addWidget(layouts_);
    row->addStretch(1);
    connect(apps_, &QAbstractButton::clicked, this, [this] { emit pillActivated(LauncherTab::Applications); });
    connect(layouts_, &QAbstractButton::clicked, this, [this] { emit pillActivated(LauncherTab::Layouts); });
    connect(&state_, &LauncherState::tabChanged, this, &TabBar::refresh);
    refresh();
}

void TabBar::refresh() {
    apps_->setCurrent(state_.tab() == LauncherTab::Applications);
    layouts_->setCurrent(state_.tab() == LauncherTab::Layouts);
}

}  // namespace tessora
