#include "app/OnboardingPieces.h"

#include "preferences/Palette.h"

#include <QLabel>
#include <QPainter>

namespace tessora {

namespace {

class Hairline final : public QWidget {
public:
    explicit Hairline(QWidget* parent) : QWidget(parent) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), palette::hairline()); }
};

}  // namespace

QLabel* onboardingText(const QFont& font, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

QWidget* onboardingHairline(QWidget* parent) {
    return new Hairline(parent);
}

}  // namespace tessora
