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
    : QWidget(parent), title_(title), headingFont_(manrope(11, QFont::Bold)), content_(new QVBoxLayout(this)) {
    installComponentAccessibility();
    // Screen readers get the title as written: capitals would be spelled out letter by letter.
    setAccessibleName(title_);
    headingFont_.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    content_->setSpacing(0);
    content_->setContentsMargins(0, headingHeight() + kHeadingSpacing, 0, 0);
}

void OrrerySettingsGroup::setTitle(const QString& title) {
    if (title == title_) {
        return;
    }
    title_ = title;
    setAccessibleName(title);
    update();
    emit titleChanged(title);
}

void OrrerySettingsGroup::addWidget(QWidget* widget) {
    content_->addWidget(widget);
}

void OrrerySettingsGroup::addDivider() {
    content_->addWidget(new HairlineDivider);
}

int OrrerySettingsGroup::headingHeight() const {
    return qCeil(QFontMetricsF(headingFont_).height());
}

QRect OrrerySettingsGroup::cardRect() const {
    return rect().adjusted(0, headingHeight() + kHeadingSpacing, 0, 0);
}

void OrrerySettingsGroup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(headingFont_);
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
