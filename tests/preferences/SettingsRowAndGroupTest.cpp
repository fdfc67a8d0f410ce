#include "Rendering.h"
#include "preferences/Fonts.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QVBoxLayout>

namespace tessora {
namespace {

using testing::render;

int redPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.red() > 170 && pixel.green() < 110 && pixel.blue() < 110 ? 1 : 0;
        }
    }
    return count;
}

TEST(OrrerySettingsRow, PadsTextAndCentresTheControl) {
    auto* toggle = new OrrerySwitch(QStringLiteral("Launch at login"));
    OrrerySettingsRow row(QStringLiteral("Launch at login"),
                          QStringLiteral("Start Tessora when you sign in"), toggle);
    const QSize hint = row.sizeHint();
    render(row, QSize(hint.width() + 100, row.heightForWidth(hint.width() + 100)));

    const QRect title = row.titleRect();
    const QRect detail = row.detailRect();
    EXPECT_EQ(title.left(), 18);
    EXPECT_EQ(detail.top(), title.bottom() + 1 + 5);
    const int textHeight = detail.bottom() + 1 - title.top();
    EXPECT_EQ(row.height(), 36 + qMax(textHeight, 26));
    // The control sits against the trailing padding, centred on the row's middle.
    EXPECT_EQ(toggle->geometry(), QRect(row.width() - 18 - 58, (row.height() - 26) / 2, 58, 26));
    // The texts and the control keep 18 + 8 + 18 apart at the narrowest natural width.
    EXPECT_EQ(hint.width(), 18 + qMax(title.width(), detail.width()) + 44 + 58 + 18);
}

TEST(OrrerySettingsRow, WrapsTextRatherThanSqueezeTheControl) {
    auto* toggle = new OrrerySwitch;
    OrrerySettingsRow row(
        QStringLiteral("Stack indicator"),
        QStringLiteral("Show a small pill over a tile that holds more than one window"), toggle);
    const int natural = row.sizeHint().width();
    const int narrow = row.minimumSizeHint().width();
    // At their natural width texts stay on one line.
    OrrerySettingsRow oneWord(QStringLiteral("Switch"));
    OrrerySettingsRow words(QStringLiteral("Switch windows in a stack"));
    EXPECT_EQ(words.heightForWidth(words.sizeHint().width()),
              oneWord.heightForWidth(oneWord.sizeHint().width()));
    EXPECT_EQ(row.heightForWidth(natural), row.heightForWidth(2000));
    EXPECT_LT(narrow, natural);
    EXPECT_GT(row.heightForWidth(narrow), row.heightForWidth(natural));
    row.resize(narrow, row.heightForWidth(narrow));
    EXPECT_EQ(toggle->size(), QSize(58, 26));
    EXPECT_LE(row.detailRect().right(), toggle->x() - 44);
}

TEST(OrrerySettingsRow, TitleTurnsRedWhenItNeedsAttention) {
    OrrerySettingsRow row(QStringLiteral("Accessibility"),
                          QStringLiteral("Needed to move windows"));
    EXPECT_EQ(redPixels(render(row), row.titleRect()), 0);
    row.setNeedsAttention(true);
    const QImage image = render(row);
    EXPECT_GT(redPixels(image, row.titleRect()), 10);
    EXPECT_EQ(redPixels(image, row.detailRect()), 0);
}

TEST(OrrerySettingsGroup, ShowsItsTitleInCapitalsAboveTheCard) {
    OrrerySettingsGroup group(QStringLiteral("Select apps"));
    EXPECT_EQ(group.heading(), QStringLiteral("SELECT APPS"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&group);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Grouping);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Select apps"));

    auto* first =
        new OrrerySettingsRow(QStringLiteral("Spacing between tiles"), {}, new OrrerySwitch);
    group.addWidget(first);
    group.addDivider();
    group.addWidget(new OrrerySettingsRow(QStringLiteral("Stack indicator"), {}, new OrrerySwitch));
    const QImage image = render(group, QSize(420, group.sizeHint().height()));

    const int headingHeight = qCeil(QFontMetricsF(manrope(11, QFont::Bold)).height());
    EXPECT_EQ(group.cardRect().top(), headingHeight + 12);
    EXPECT_EQ(first->geometry().topLeft(), group.cardRect().topLeft());
    // Card: the hairline border over the surface fill at its left edge, the surface inside.
    const QColor plate = palette::over(palette::surface(), palette::windowBackground());
    const int middle = group.cardRect().top() + first->height() / 2;
    EXPECT_PRED2(testing::near, image.pixelColor(0, middle),
                 palette::over(palette::hairline(), plate));
    EXPECT_PRED2(testing::near, image.pixelColor(3, middle), plate);
    // The divider runs across the card under the first row.
    EXPECT_PRED2(testing::near, image.pixelColor(200, first->geometry().bottom() + 1),
                 palette::over(palette::hairline(), plate));
    // The heading is in the secondary colour: light pixels above the card, never pure white.
    int headingInk = 0;
    for (int x = 0; x < 120; ++x) {
        for (int y = 0; y < headingHeight; ++y) {
            headingInk += image.pixelColor(x, y).lightness() > 80 ? 1 : 0;
            EXPECT_LT(image.pixelColor(x, y).lightness(), 170);
        }
    }
    EXPECT_GT(headingInk, 20);
}

}  // namespace
}  // namespace tessora
