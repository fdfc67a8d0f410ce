#include "preferences/OrrerySettingsGroup.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QtMath>

namespace tessora {

namespace {

class HairlineDivider : public QWidget {
public:
    HairlineDivider() {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), palette::hairline()); }
};

}  // namespace

OrrerySettingsGroup::OrrerySettingsGroup(const QString& title, QWidget* parent)
    : QWidget(parent),
      m_title(title),
      m_headingFont(manrope(11, QFont::Bold)),
      m_content(new QVBoxLayout(this)) {
    installComponentAccessibility();
    // Screen readers get the title as written: capitals would be spelled out letter by letter.
    setAccessibleName(m_title);
    m_headingFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    m_content->setSpacing(0);
    m_content->setContentsMargins(0, headingHeight() + kHeadingSpacing, 0, 0);
}

void OrrerySettingsGroup::setTitle(const QString& title) {
    if (title == m_title) {
        return;
    }
    m_title = title;
    setAccessibleName(title);
    update();
    emit titleChanged(title);
}

void OrrerySettingsGroup::addWidget(QWidget* widget) {
    m_content->addWidget(widget);
}

void OrrerySettingsGroup::addDivider() {
    m_content->addWidget(new HairlineDivider);
}

int OrrerySettingsGroup::headingHeight() const {
    return qCeil(QFontMetricsF(m_headingFont).height());
}

QRect OrrerySettingsGroup::cardRect() const {
    return rect().adjusted(0, headingHeight() + kHeadingSpacing, 0, 0);
}

void OrrerySettingsGroup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(m_headingFont);
    painter.setPen(palette::secondaryText());
    const QRect headingArea(0, 0, width(), headingHeight());
    painter.drawText(headingArea, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(heading(), Qt::ElideRight, width()));

    const QRectF card = cardRect();
    if (card.height() > 0) {
        painter.fillPath(continuousRoundedRect(card, kCardRadius), palette::surface());
        painter.strokePath(insideBorder(card, kCardRadius), QPen(palette::hairline(), 1));
    }
}

}  // namespace tessora
