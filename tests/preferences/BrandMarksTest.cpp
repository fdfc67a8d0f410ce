#include "Rendering.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/TrayIcon.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFontInfo>
#include <QPainter>

namespace tessora {
namespace {

TEST(OrreryMark, IsFourClosedPanesScaledToItsRectangle) {
    const QRectF rect(10, 20, 100, 60);
    const QPainterPath mark = orreryMark(rect);
    int subpaths = 0;
    QPointF start;
    for (int i = 0; i < mark.elementCount(); ++i) {
        const QPainterPath::Element element = mark.elementAt(i);
        if (element.isMoveTo()) {
            if (i > 0) {
                EXPECT_EQ(QPointF(mark.elementAt(i - 1)), start)
                    << "subpath " << subpaths << " is not closed";
            }
            start = element;
            ++subpaths;
        }
    }
    EXPECT_EQ(QPointF(mark.elementAt(mark.elementCount() - 1)), start);
    EXPECT_EQ(subpaths, 4);
    EXPECT_EQ(mark.boundingRect(), rect);
    EXPECT_EQ(orreryMark(QRectF(0, 0, 2, 2)).boundingRect(), QRectF(0, 0, 2, 2));
    // The panes do not touch: a gap runs down the middle and across each column.
    const auto at = [&rect](qreal x, qreal y) {
        return QPointF(rect.x() + x * rect.width(), rect.y() + y * rect.height());
    };
    for (const QPointF gap : {at(0.58, 0.1), at(0.58, 0.9), at(0.3, 0.62), at(0.8, 0.38)}) {
        EXPECT_FALSE(mark.contains(gap)) << gap.x() << ", " << gap.y();
    }
    EXPECT_TRUE(mark.contains(at(0.3, 0.3)));
}

TEST(CasementLogo, KeepsASquareTileWithTheMarkInWhite) {
    CasementLogo logo;
    const QImage image = testing::render(logo, QSize(80, 60));
    EXPECT_EQ(logo.tileRect(), QRectF(10, 0, 60, 60));
    // Rounded corners show the background; the gradient runs from light to dark diagonally.
    EXPECT_PRED2(testing::near, image.pixelColor(10, 0), palette::windowBackground());
    const QColor light = image.pixelColor(24, 10);
    const QColor dark = image.pixelColor(58, 52);
    EXPECT_GT(light.lightness(), dark.lightness() + 30);
    EXPECT_GT(light.blue(), light.green());
    // The top-left pane of the mark, filled in white.
    EXPECT_PRED2(testing::near, image.pixelColor(28, 22), QColor(Qt::white));

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&logo);
    ASSERT_NE(accessible, nullptr);
    EXPECT_TRUE(accessible->state().invisible);

    for (const int side : {42, 118}) {
        CasementLogo sized;
        sized.resize(side, side);
        EXPECT_TRUE(testing::saveScreenshot(sized, QStringLiteral("logo-%1").arg(side), side / 3));
    }
}

TEST(CasementSymbol, FillsTheMarkInItsColourKeptSquare) {
    CasementSymbol symbol(palette::accent());
    const QImage image = testing::render(symbol, QSize(100, 40));
    // A 40 × 40 square in the middle: nothing is drawn left of it.
    EXPECT_PRED2(testing::near, image.pixelColor(20, 20), palette::windowBackground());
    EXPECT_PRED2(testing::near, image.pixelColor(34, 10), palette::accent());
    symbol.resize(48, 48);
    EXPECT_TRUE(testing::saveScreenshot(symbol, QStringLiteral("symbol")));
}

TEST(TrayIcon, WhiteSymbolWithADarkOutlineAtEverySize) {
    const QIcon icon = trayIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int px : {16, 22, 24, 32, 48}) {
        EXPECT_TRUE(sizes.contains(QSize(px, px))) << px;
    }
    // Drawn when asked, at the size and density asked for, as the tray paints it.
    EXPECT_EQ(icon.pixmap(QSize(20, 20), 2.0).size(), QSize(40, 40));
    QImage painted(QSize(44, 44), QImage::Format_ARGB32_Premultiplied);
    painted.setDevicePixelRatio(2.0);
    painted.fill(Qt::transparent);
    QPainter iconPainter(&painted);
    icon.paint(&iconPainter, QRect(0, 0, 22, 22));
    iconPainter.end();
    const QImage image = renderTrayImage(22);
    EXPECT_EQ(painted, image);
    EXPECT_EQ(image.size(), QSize(44, 44));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    int white = 0;
    int outline = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            white += pixel.alpha() == 255 && pixel.lightness() == 255 ? 1 : 0;
            outline += pixel.alpha() > 60 && pixel.lightness() < 40 ? 1 : 0;
        }
    }
    EXPECT_GT(white, 44 * 44 / 4);
    EXPECT_GT(outline, 40);

    // How it reads on a light and on a dark panel, at the common tray sizes.
    QImage panels(2 * 5 * 52, 2 * 2 * 52, QImage::Format_ARGB32_Premultiplied);
    panels.setDevicePixelRatio(2);
    QPainter painter(&panels);
    painter.fillRect(QRect(0, 0, 260, 52), QColor(236, 236, 240));
    painter.fillRect(QRect(0, 52, 260, 52), QColor(32, 32, 36));
    int x = 2;
    for (const int px : {16, 22, 24, 32, 48}) {
        for (const int y : {2, 54}) {
            painter.drawPixmap(QPoint(x, y), icon.pixmap(QSize(px, px), 2.0));
        }
        x += px + 12;
    }
    painter.end();
    EXPECT_TRUE(panels.save(testing::screenshotPath(QStringLiteral("tray-icon"))));
}

TEST(Fonts, ManropeIsUsedWhenInstalled) {
    registerFonts();
    registerFonts();
    EXPECT_EQ(registerFontsFrom(QStringLiteral("/nonexistent")), 0);
    const QFont font = manrope(12, QFont::Bold);
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(systemFont(14, QFont::DemiBold).pixelSize(), 14);
    if (!QDir(QStringLiteral("/usr/share/fonts/truetype/manrope")).exists()) {
        GTEST_SKIP() << "Manrope is not installed; text falls back to the system font";
    }
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Manrope"));
}

}  // namespace
}  // namespace tessora
