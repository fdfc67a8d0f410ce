#include "launcher/ContentArea.h"

#include "launcher/LauncherPainting.h"
#include "launcher/LauncherState.h"
#include "launcher/LayoutsView.h"
#include "launcher/RecentApps.h"
#include "launcher/ResultsView.h"
#include "launcher/TabBar.h"
#include "preferences/Shapes.h"

#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tessora {

using namespace launcherpaint;

ApplicationsPage::ApplicationsPage(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : QWidget(parent), recent_(new RecentApps(model, icons, this)), results_(new ResultsView(model, icons, this)) {
    recent_->hide();
}

void ApplicationsPage::setRecentShown(bool shown) {
    recentShown_ = shown;
    recent_->setVisible(shown);
    place();
}

void ApplicationsPage::resizeEvent(QResizeEvent*) {
    place();
}

void ApplicationsPage::place() {
    int top = 0;
    if (recentShown_) {
        const int height = recent_->heightForWidth(width());
        recent_->setGeometry(0, 0, width(), height);
        top = height + 8;
    } else {
        top = 24;
    }
    results_->setGeometry(8, top, std::max(0, width() - 16), std::max(0, height() - top - 24));
}

ContentArea::ContentArea(WorkspaceModel& model, LauncherState& state, IconCache& icons, QWidget* parent)
    : QWidget(parent),
      state_(state),
      tabBar_(new TabBar(state, this)),
      pages_(new QStackedWidget(this)),
      applications_(new ApplicationsPage(model, icons, pages_)),
      layoutsPage_(new QWidget(pages_)),
      layouts_(new LayoutsView(model, state, layoutsPage_)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(tabBar_);
    column->addWidget(pages_, 1);
    pages_->addWidget(applications_);
    pages_->addWidget(layoutsPage_);
    auto* layoutsColumn = new QVBoxLayout(layoutsPage_);
    layoutsColumn->setContentsMargins(8, 0, 8, 24);
    layoutsColumn->addWidget(layouts_);
    connect(&state_, &LauncherState::tabChanged, this, &ContentArea::showTab);
    showTab();
}

void ContentArea::showTab() {
    pages_->setCurrentWidget(state_.tab() == LauncherTab::Applications ? static_cast<QWidget*>(applications_)
                                                                        : layoutsPage_);
}

void ContentArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    painter.fillPath(continuousRoundedRect(area, 35), contentAreaFill());
    painter.setPen(QPen(white(0.12), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(insideBorder(area, 35));
}

}  // namespace tessora
