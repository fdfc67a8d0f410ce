#include "app/PreferencesView.h"

#include "app/AttentionBadge.h"
#include "app/PreferencesHeader.h"
#include "app/PreferencesSidebar.h"
#include "app/ShownRefresh.h"
#include "app/SidebarEntry.h"
#include "app/SidebarToggle.h"
#include "preferences/Palette.h"

#include <QEasingCurve>
#include <QPainter>
#include <QStackedWidget>

namespace tessora {

namespace {

using Section = PreferencesNavigation::Section;

// The common ease-in-out (CSS's): a cubic Bézier through (0.42, 0) and (0.58, 1), gentler at
// both ends than Qt's InOutCubic.
QEasingCurve easeInOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

QString titleOf(Section section) {
    return section == Section::Settings ? PreferencesView::tr("Settings")
                                        : PreferencesView::tr("Shortcuts");
}

}  // namespace

PreferencesView::PreferencesView(PreferencesNavigation& navigation, WindowControl windowControl,
                                 Clock& clock, PageFactory makePage, QWidget* parent)
    : QWidget(parent),
      m_navigation(navigation),
      m_windowControl(std::move(windowControl)),
      m_makePage(std::move(makePage)),
      m_sidebar(new PreferencesSidebar(navigation, this)),
      m_header(new PreferencesHeader(this)),
      m_pages(new QStackedWidget(this)),
      m_sidebarShown(navigation.sidebarVisible() ? 1.0 : 0.0),
      m_slide(this, "sidebarShown") {
    setFixedWidth(kWidth);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);

    m_slide.setDuration(kSlideMs);
    m_slide.setEasingCurve(easeInOut());

    connect(m_header->showControl(), &SidebarToggle::clicked, this,
            [this] { m_navigation.setSidebarVisible(true); });
    connect(&m_navigation, &PreferencesNavigation::sectionChanged, this,
            &PreferencesView::showSection);
    connect(&m_navigation, &PreferencesNavigation::sidebarVisibleChanged, this,
            &PreferencesView::slideSidebar);
    connect(this, &PreferencesView::attentionMessageChanged, this,
            [this] { attentionBadge()->setMessage(m_attentionMessage); });

    showSection();
    arrange();
    m_refresh = new ShownRefresh(*this, clock, [this] { readWindowControl(); });
}

PreferencesView::~PreferencesView() = default;

SidebarEntry* PreferencesView::entry(Section section) const {
    return m_sidebar->entry(section);
}

SidebarToggle* PreferencesView::hideSidebarControl() const {
    return m_sidebar->hideControl();
}

SidebarToggle* PreferencesView::showSidebarControl() const {
    return m_header->showControl();
}

AttentionBadge* PreferencesView::attentionBadge() const {
    return m_sidebar->attentionBadge();
}

QWidget* PreferencesView::page() const {
    return m_pages->currentWidget();
}

void PreferencesView::setSidebarShown(qreal shown) {
    if (shown == m_sidebarShown) {
        return;
    }
    m_sidebarShown = shown;
    arrange();
    update();
    emit sidebarShownChanged();
}

void PreferencesView::showSection() {
    const Section section = m_navigation.section();
    QWidget*& page = m_pageOf[static_cast<int>(section)];
    if (page == nullptr && m_makePage) {
        page = m_makePage(section, m_pages);
        if (page != nullptr) {
            m_pages->addWidget(page);
        }
    }
    if (page != nullptr) {
        m_pages->setCurrentWidget(page);
    }
    m_header->setTitle(titleOf(section));
}

void PreferencesView::slideSidebar() {
    const bool visible = m_navigation.sidebarVisible();
    // The button that was pressed goes away with its bar: the focus moves to the other one.
    SidebarToggle* from = visible ? showSidebarControl() : hideSidebarControl();
    SidebarToggle* to = visible ? hideSidebarControl() : showSidebarControl();
    const bool moveFocus = from->hasFocus();

    m_slide.stop();
    const qreal target = visible ? 1.0 : 0.0;
    if (!isVisible()) {
        setSidebarShown(target);
    } else {
        m_slide.setStartValue(m_sidebarShown);
        m_slide.setEndValue(target);
        // A reversal part-way takes only the part of the run still to go back.
        m_slide.setDuration(qMax(1, qRound(kSlideMs * qAbs(target - m_sidebarShown))));
        m_slide.start();
    }
    arrange();
    if (moveFocus) {
        to->setFocus(Qt::OtherFocusReason);
    }
}

void PreferencesView::arrange() {
    const int sidebarWidth = PreferencesSidebar::kWidth;
    const qreal shown = m_sidebarShown;
    // The sidebar and its hairline slide together; the page column fills what they leave.
    const int offset = qRound((sidebarWidth + 1) * (1.0 - shown));
    m_sidebar->setGeometry(-offset, 0, sidebarWidth, height());
    const bool wanted = m_navigation.sidebarVisible();
    // Each bar's button stays while its bar is in view, so the focus can move to it at once.
    m_sidebar->setVisible(shown > 0 || wanted);
    const int columnLeft = sidebarWidth + 1 - offset;
    m_header->setGeometry(columnLeft, 0, width() - columnLeft, PreferencesHeader::kHeight);
    m_header->setSidebarShown(shown, shown < 1 || !wanted);
    const int pageTop = PreferencesHeader::kHeight + 1;
    m_pages->setGeometry(columnLeft, pageTop, width() - columnLeft, qMax(0, height() - pageTop));
}

void PreferencesView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void PreferencesView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette::windowBackground());
    const int columnLeft = m_header->x();
    // The hairline between sidebar and page fades with the sidebar.
    if (m_sidebarShown > 0) {
        QColor divider = palette::hairline();
        divider.setAlphaF(divider.alphaF() * m_sidebarShown);
        painter.fillRect(QRect(columnLeft - 1, 0, 1, height()), divider);
    }
    painter.fillRect(QRect(columnLeft, PreferencesHeader::kHeight, width() - columnLeft, 1),
                     palette::hairline());
}

void PreferencesView::readWindowControl() {
    const bool available = m_windowControl.isAvailable();
    const QString message = tessora::attentionMessage(available);
    if (message != m_attentionMessage) {
        m_attentionMessage = message;
        emit attentionMessageChanged();
    }
}

}  // namespace tessora
