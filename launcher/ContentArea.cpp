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
    : QWidget(parent),
      m_recent(new RecentApps(model, icons, this)),
      m_results(new ResultsView(model, icons, this)) {
    m_recent->hide();
}

void ApplicationsPage::setRecentShown(bool shown) {
    m_recentShown = shown;
    m_recent->setVisible(shown);
    place();
}

void ApplicationsPage::resizeEvent(QResizeEvent*) {
    place();
}

void ApplicationsPage::place() {
    int top = 0;
    if (m_recentShown) {
        const int height = m_recent->heightForWidth(width());
        m_recent->setGeometry(0, 0, width(), height);
        top = height + 8;
    } else {
        top = 24;
    }
    m_results->setGeometry(8, top, std::max(0, width() - 16), std::max(0, height() - top - 24));
}

ContentArea::ContentArea(WorkspaceModel& model, LauncherState& state, IconCache& icons,
                         QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_tabBar(new TabBar(state, this)),
      m_pages(new QStackedWidget(this)),
      m_applications(new ApplicationsPage(model, icons, m_pages)),
      m_layoutsPage(new QWidget(m_pages)),
      m_layouts(new LayoutsView(model, state, m_layoutsPage)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_tabBar);
    column->addWidget(m_pages, 1);
    m_pages->addWidget(m_applications);
    m_pages->addWidget(m_layoutsPage);
    auto* layoutsColumn = new QVBoxLayout(m_layoutsPage);
    layoutsColumn->setContentsMargins(8, 0, 8, 24);
    layoutsColumn->addWidget(m_layouts);
    connect(&m_state, &LauncherState::tabChanged, this, &ContentArea::showTab);
    showTab();
}

void ContentArea::showTab() {
    m_pages->setCurrentWidget(m_state.tab() == LauncherTab::Applications
                                  ? static_cast<QWidget*>(m_applications)
                                  : m_layoutsPage);
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
