#include "Rendering.h"
#include "preferences/OrreryButton.h"
#include "preferences/OrrerySwitch.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QHBoxLayout>
#include <QtMath>

namespace tessora {
namespace {

using palette::over;
using testing::near;
using testing::render;

const QColor kBackground = palette::windowBackground();

TEST(OrreryButton, SizesToItsLabelWithPadding) {
    OrreryButton button(QStringLiteral("Continue"));
    const int textWidth =
        qCeil(QFontMetricsF(button.font()).horizontalAdvance(QStringLiteral("Continue")));
    EXPECT_EQ(button.sizeHint(), QSize(textWidth + 30, 34));
    EXPECT_EQ(button.font().family(), QStringLiteral("Manrope"));
    EXPECT_EQ(button.font().weight(), QFont::Bold);
}

TEST(OrreryButton, PaintsEachStyle) {
    OrreryButton primary(QStringLiteral("Continue"), true);
    QImage image = render(primary);
    const int middle = image.height() / 2;
    // In the padding beside the label the plate is pure accent, without a border at the edge.
    EXPECT_PRED2(near, image.pixelColor(8, middle), palette::accent());
    EXPECT_PRED2(near, image.pixelColor(image.width() / 2, 0), palette::accent());
    // The label is dark: somewhere on it a pixel is close to the background colour.
    bool darkInk = false;
    for (int x = 15; x < image.width() - 15 && !darkInk; ++x) {
        darkInk = image.pixelColor(x, middle).lightness() < 60;
    }
    EXPECT_TRUE(darkInk);

    OrreryButton plain(QStringLiteral("Cancel"));
    image = render(plain);
    const QColor plate = over(palette::surface(), kBackground);
    EXPECT_PRED2(near, image.pixelColor(8, middle), plate);
    EXPECT_PRED2(near, image.pixelColor(image.width() / 2, 0), over(palette::hairline(), plate));
    EXPECT_PRED2(near, image.pixelColor(0, middle), over(palette::hairline(), plate));

    OrreryButton destructive(QStringLiteral("Remove"), false, true);
    image = render(destructive);
    EXPECT_PRED2(near, image.pixelColor(8, middle), palette::alertRed());
    EXPECT_PRED2(near, image.pixelColor(image.width() / 2, 0),
                 over(palette::hairline(), palette::alertRed()));

    // Both at once is drawn as primary.
    destructive.setPrimary(true);
    EXPECT_PRED2(near, render(destructive).pixelColor(8, middle), palette::accent());
}

TEST(OrreryButton, FadesWhilePressedAndWhenDisabled) {
    OrreryButton button(QStringLiteral("Continue"), true);
    button.setDown(true);
    QColor faded = palette::accent();
    faded.setAlphaF(0.7f);
    EXPECT_PRED2(near, render(button).pixelColor(8, 17), over(faded, kBackground));
    button.setDown(false);
    button.setEnabled(false);
    faded.setAlphaF(0.45f);
    EXPECT_PRED2(near, render(button).pixelColor(8, 17), over(faded, kBackground));
}

TEST(OrreryButton, PropertiesNotifyOnlyOnChange) {
    OrreryButton button(QStringLiteral("Continue"));
    int notified = 0;
    QObject::connect(&button, &OrreryButton::primaryChanged, [&] { ++notified; });
    button.setPrimary(false);
    button.setPrimary(true);
    button.setPrimary(true);
    EXPECT_EQ(notified, 1);
}

TEST(OrrerySwitch, KnobSlidesToTheTrailingEndWhenFlipped) {
    OrrerySwitch toggle(QStringLiteral("Launch at login"));
    EXPECT_EQ(toggle.sizeHint(), QSize(58, 26));
    QImage image = render(toggle);
    ASSERT_EQ(image.size(), QSize(58, 26));
    EXPECT_EQ(toggle.knobRect(), QRectF(3, 3, 32, 20));
    EXPECT_PRED2(near, image.pixelColor(46, 13),
                 over(QColor::fromRgbF(1, 1, 1, 0.16f), kBackground));

    toggle.click();
    EXPECT_TRUE(toggle.isChecked());
    QVariantAnimation& slide = toggle.knobAnimation();
    EXPECT_EQ(slide.state(), QAbstractAnimation::Running);
    EXPECT_EQ(slide.duration(), 160);
    slide.setCurrentTime(80);
    // Ease-out: past the middle of its run at half time.
    EXPECT_GT(toggle.knobRect().x(), 3 + 10);
    EXPECT_LT(toggle.knobRect().x(), 23);
    slide.setCurrentTime(slide.duration());
    EXPECT_EQ(toggle.knobRect(), QRectF(23, 3, 32, 20));
    EXPECT_EQ(slide.state(), QAbstractAnimation::Stopped);

    image = render(toggle, {}, 1);
    EXPECT_PRED2(near, image.pixelColor(10, 13), palette::accent());
    EXPECT_PRED2(near, image.pixelColor(39, 13), kBackground);
    testing::saveScreenshot(toggle, QStringLiteral("switch-on"));
}

TEST(OrrerySwitch, JumpsWhenSetFromCode) {
    OrrerySwitch toggle(QStringLiteral("Stack indicator"));
    toggle.setChecked(true);
    EXPECT_EQ(toggle.knobAnimation().state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(toggle.knobPosition(), 1.0);
    // Flipped back mid-slide, it turns around from where the knob is.
    toggle.click();
    toggle.knobAnimation().setCurrentTime(60);
    const qreal midway = toggle.knobPosition();
    toggle.click();
    EXPECT_EQ(toggle.knobAnimation().startValue().toReal(), midway);
    EXPECT_EQ(toggle.knobAnimation().endValue().toReal(), 1.0);
}

TEST(OrrerySwitch, ReadsAsALabelledCheckBox) {
    OrrerySwitch toggle(QStringLiteral("Spacing & gaps"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&toggle);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Spacing & gaps"));
    EXPECT_FALSE(accessible->state().checked);
    toggle.setChecked(true);
    EXPECT_TRUE(accessible->state().checked);

    // A screen reader's toggle is a click: views act on clicked().
    int clicks = 0;
    QObject::connect(&toggle, &QAbstractButton::clicked, [&] { ++clicks; });
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(toggle.isChecked());
    toggle.setEnabled(false);
    EXPECT_TRUE(actions->actionNames().isEmpty());
}

TEST(OrreryControls, Screenshot) {
    QWidget strip;
    auto* layout = new QHBoxLayout(&strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* pressed = new OrreryButton(QStringLiteral("Pressed"), true);
    pressed->setDown(true);
    auto* disabled = new OrreryButton(QStringLiteral("Disabled"), true);
    disabled->setEnabled(false);
    auto* on = new OrrerySwitch(QStringLiteral("On"));
    on->setChecked(true);
    for (QWidget* widget :
         QList<QWidget*>{new OrreryButton(QStringLiteral("Continue"), true),
                         new OrreryButton(QStringLiteral("Cancel")),
                         new OrreryButton(QStringLiteral("Remove"), false, true), pressed, disabled,
                         new OrrerySwitch(QStringLiteral("Off")), on}) {
        layout->addWidget(widget);
    }
    render(strip, {}, 2);
    EXPECT_TRUE(testing::saveScreenshot(strip, QStringLiteral("buttons-and-switches")));
}

}  // namespace
}  // namespace tessora
