#include "app/PreferencesHeader.h"

#include "app/SidebarToggle.h"
#include "preferences/Fonts.h"

#include <QLabel>
#include <QtMath>

namespace tessora {

PreferencesHeader::PreferencesHeader(QWidget* parent)
    : QWidget(parent),
      m_show(new SidebarToggle(tr("Show sidebar"), this)),
      m_title(new QLabel(this)) {
    setFixedHeight(kHeight);
    m_title->setFont(manrope(20, QFont::Bold));
    QPalette colours = m_title->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(colours);
    arrange();
}

void PreferencesHeader::setTitle(const QString& title) {
    m_title->setText(title);
    arrange();
}

QString PreferencesHeader::title() const {
    return m_title->text();
}

void PreferencesHeader::setSidebarShown(qreal shown, bool showControl) {
    if (shown == m_sidebarShown && showControl == m_showControl) {
        return;
    }
    m_sidebarShown = shown;
    m_showControl = showControl;
    arrange();
}

qreal PreferencesHeader::leadingPadding() const {
    return kPaddingWithoutSidebar - (kPaddingWithoutSidebar - kPaddingWithSidebar) * m_sidebarShown;
}

void PreferencesHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void PreferencesHeader::arrange() {
    const qreal hidden = 1.0 - m_sidebarShown;
    const qreal leading = leadingPadding();
    // The button takes its place before the title as the sidebar leaves, pushing the title on.
    m_show->setVisible(m_showControl);
    m_show->setOpacity(hidden);
    m_show->move(qRound(leading), (kHeight - SidebarToggle::kSide) / 2);

    const int titleLeft = qRound(leading + hidden * (SidebarToggle::kSide + kSpacing));
    const int titleHeight = m_title->sizeHint().height();
    m_title->setGeometry(titleLeft, (kHeight - titleHeight) / 2,
                         qMax(0, width() - kTrailingPadding - titleLeft), titleHeight);
}

}  // namespace tessora
