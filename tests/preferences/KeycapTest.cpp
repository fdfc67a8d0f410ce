#include "Rendering.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryKeycap.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QHBoxLayout>
#include <QtMath>

namespace tessora {
namespace {

using testing::near;
using testing::render;

TEST(Keycaps, SplitLeadingModifiersFromTheKey) {
    struct Case {
        QString label;
        QStringList caps;
    };
    const QList<Case> cases{
        {QStringLiteral("⌘esc"), {QStringLiteral("⌘"), QStringLiteral("esc")}},
        {QStringLiteral("⌃⌥Space"),
         {QStringLiteral("⌃"), QStringLiteral("⌥"), QStringLiteral("Space")}},
        {QStringLiteral("⇧⌘K"), {QStringLiteral("⇧"), QStringLiteral("⌘"), QStringLiteral("K")}},
        {QStringLiteral("⌘ESC"), {QStringLiteral("⌘"), QStringLiteral("esc")}},
        {QStringLiteral("⌘"), {QStringLiteral("⌘"), QStringLiteral("?")}},
        {QString(), {QStringLiteral("?")}},
        {QStringLiteral("⌃⌥⇧⌘Return"),
         {QStringLiteral("⌃"), QStringLiteral("⌥"), QStringLiteral("⇧"), QStringLiteral("⌘"),
          QStringLiteral("return")}},
        {QStringLiteral("⌘TAB"), {QStringLiteral("⌘"), QStringLiteral("tab")}},
        {QStringLiteral("⌥Delete"), {QStringLiteral("⌥"), QStringLiteral("delete")}},
        // Only the four names are lowered; a modifier after the key stays part of it.
        {QStringLiteral("⌘Escape"), {QStringLiteral("⌘"), QStringLiteral("Escape")}},
        {QStringLiteral("K⌘"), {QStringLiteral("K⌘")}},
        {QStringLiteral("⌘Key 105"), {QStringLiteral("⌘"), QStringLiteral("Key 105")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keycaps(c.label), c.caps) << c.label.toStdString();
    }
}

TEST(Keycaps, CapsNameThisPlatformsKeys) {
    EXPECT_EQ(keycapText(QStringLiteral("⌘")), QStringLiteral("Ctrl"));
    EXPECT_EQ(keycapText(QStringLiteral("⌃")), QStringLiteral("Super"));
    EXPECT_EQ(keycapText(QStringLiteral("⌥")), QStringLiteral("Alt"));
    EXPECT_EQ(keycapText(QStringLiteral("⇧")), QStringLiteral("Shift"));
    EXPECT_EQ(keycapText(QStringLiteral("esc")), QStringLiteral("esc"));
    EXPECT_EQ(keycapText(QStringLiteral("K")), QStringLiteral("K"));

    OrreryKeycap cap(QStringLiteral("⌘"));
    EXPECT_EQ(cap.displayText(), QStringLiteral("Ctrl"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&cap);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::StaticText);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Ctrl"));
    cap.setKey(QStringLiteral("⌥"));
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Alt"));
}

TEST(OrreryKeycap, IsAtLeastSquareAndWidensWithItsText) {
    OrreryKeycap single(QStringLiteral("K"));
    EXPECT_EQ(single.sizeHint().width(), 36);
    single.resize(single.sizeHint());
    EXPECT_EQ(single.capRect(), QRect(0, 0, 36, 36));

    OrreryKeycap word(QStringLiteral("return"));
    const int textWidth = qCeil(
        QFontMetricsF(systemFont(14, QFont::DemiBold)).horizontalAdvance(QStringLiteral("return")));
    EXPECT_EQ(word.sizeHint().width(), textWidth + 24);
    EXPECT_GT(word.sizeHint().width(), 36);

    // The cap widens with what it shows, not with the stored symbol.
    OrreryKeycap command(QStringLiteral("⌘"));
    const int ctrlWidth =
        qCeil(QFontMetricsF(command.font()).horizontalAdvance(QStringLiteral("Ctrl")));
    EXPECT_EQ(command.sizeHint().width(), qMax(36, ctrlWidth + 24));
}

TEST(OrreryKeycap, DrawsABaseWithItsShadowBelow) {
    OrreryKeycap cap(QStringLiteral("K"));
    const QImage image = render(cap);
    ASSERT_EQ(image.size(), QSize(36, 40));
    // The base shows on the left edge of the cap, the inset face beside it.
    EXPECT_PRED2(near, image.pixelColor(1, 18), QColor(27, 27, 30));
    EXPECT_GT(image.pixelColor(5, 6).red(), 45);
    // The shadow darkens the background under the cap.
    const QColor below = image.pixelColor(18, 37);
    EXPECT_LT(below.blue(), palette::windowBackground().blue() - 4);

    QWidget row;
    auto* layout = new QHBoxLayout(&row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (const QString& key : keycaps(QStringLiteral("⌃⌥⇧⌘Return"))) {
        layout->addWidget(new OrreryKeycap(key));
    }
    layout->addSpacing(18);
    for (const QString& key : {QStringLiteral("K"), QStringLiteral("esc"), QStringLiteral("Space"),
                               QStringLiteral("?")}) {
        layout->addWidget(new OrreryKeycap(key));
    }
    render(row, {}, 2);
    EXPECT_TRUE(testing::saveScreenshot(row, QStringLiteral("keycaps")));
}

}  // namespace
}  // namespace tessora
