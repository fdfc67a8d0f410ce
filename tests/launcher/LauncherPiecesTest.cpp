// Pieces of the launcher that need no panel: glyph geometry, item geometry, icon loading and
// the key rules that only the monitor's surroundings can reach.
#include "launcher/AppIcon.h"
#include "launcher/IconCache.h"
#include "launcher/ItemGrid.h"
#include "launcher/LauncherKeyRules.h"
#include "launcher/LayoutGlyph.h"
#include "launcher/ThinScrollBarStyle.h"
#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QThread>
#include <atomic>

namespace tessora {
namespace {

void expectRect(const QRectF& actual, double x, double y, double w, double h) {
    EXPECT_NEAR(actual.x(), x, 1e-9);
    EXPECT_NEAR(actual.y(), y, 1e-9);
    EXPECT_NEAR(actual.width(), w, 1e-9);
    EXPECT_NEAR(actual.height(), h, 1e-9);
}

TEST(LayoutGlyph, TilesKeepTheirGapsAndOnlyChainHasTheCircle) {
    const auto focus = layoutglyph::regionRects(*layoutWithID("focus"), {60, 40});
    ASSERT_EQ(focus.size(), 1u);
    expectRect(focus[0], 13.47, 10.11, 33.06, 19.78);

    const auto mirror = layoutglyph::regionRects(*layoutWithID("mirror"), {90, 62});
    ASSERT_EQ(mirror.size(), 2u);
    expectRect(mirror[0], 6.75, 6.75, 37.5, 48.5);
    EXPECT_NEAR(mirror[1].left() - mirror[0].right(), 1.5, 1e-9);
    EXPECT_FALSE(layoutglyph::chainBadgeRect(*layoutWithID("mirror"), {90, 62}));

    const auto badge = layoutglyph::chainBadgeRect(*layoutWithID("ribbon"), {60, 40});
    ASSERT_TRUE(badge);
    expectRect(*badge, 19, 9, 22, 22);
    EXPECT_EQ(layoutglyph::regionRects(*layoutWithID("ribbon"), {60, 40}).size(), 2u);

    // Regions too small for the gap collapse to nothing rather than turning inside out.
    const WindowLayout sliver{"s", "Sliver", {{0, 0, 0.01, 1}}};
    EXPECT_EQ(layoutglyph::regionRects(sliver, {60, 40})[0].width(), 0);
}

TEST(ItemGrid, PlacesItemsAndFindsThemUnderThePointer) {
    ItemGridMetrics grid;
    grid.columns = 7;
    grid.itemHeight = 94;
    grid.rowSpacing = 10;
    grid.columnSpacing = 8;
    grid.padding = QMarginsF(12, 12, 12, 12);
    const ItemGridGeometry cells(grid, 880, 12);
    EXPECT_NEAR(cells.columnWidth(), (880 - 24 - 48) / 7.0, 1e-9);
    expectRect(cells.itemRect(8), 12 + cells.columnWidth() + 8, 12 + 104, cells.columnWidth(), 94);
    EXPECT_DOUBLE_EQ(cells.contentHeight(), 12 + 94 + 10 + 94 + 12);
    EXPECT_EQ(cells.itemsBetween(0, 50), (std::pair{0, 7}));
    EXPECT_EQ(cells.itemsBetween(110, 111), (std::pair{0, 0})) << "the gap between two rows";
    EXPECT_EQ(cells.itemsBetween(105, 400), (std::pair{0, 12}));
    EXPECT_EQ(cells.itemAt(cells.itemRect(9).center()), 9);
    EXPECT_EQ(cells.itemAt(cells.itemRect(9).topLeft() + QPointF(1, 1)), -1) << "a rounded corner";

    const ItemGridGeometry rows({}, 500, 10000);
    EXPECT_EQ(rows.itemsBetween(58 * 5000, 58 * 5000 + 300).first, 5000);
}

// The thin scroll bar: a handle as long as the share in view (never under 28), at the ends of
// its track at the ends of the range, and clicks above or below it page.
TEST(ThinScrollBar, HandleFollowsTheRangeAndClicksPage) {
    QScrollBar bar(Qt::Vertical);
    ThinScrollBarStyle style;
    bar.setStyle(&style);
    bar.resize(10, 408);  // a track of 400
    bar.setRange(0, 1200);
    bar.setPageStep(400);
    QStyleOptionSlider option;
    const auto handle = [&] {
        option.initFrom(&bar);
        option.orientation = Qt::Vertical;
        option.minimum = bar.minimum();
        option.maximum = bar.maximum();
        option.pageStep = bar.pageStep();
        option.sliderPosition = bar.value();
        return style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                    &bar);
    };
    EXPECT_EQ(handle(), QRect(2, 4, 6, 100));
    bar.setValue(1200);
    EXPECT_EQ(handle(), QRect(2, 304, 6, 100));
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, {5, 100}, &bar),
              QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, {5, 350}, &bar),
              QStyle::SC_ScrollBarSlider);
    EXPECT_TRUE(
        style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, &bar)
            .isEmpty())
        << "no arrow buttons";
    bar.setRange(0, 100000);
    EXPECT_EQ(handle().height(), ThinScrollBarStyle::minimumHandle);
    EXPECT_EQ(style.pixelMetric(QStyle::PM_ScrollBarExtent), ThinScrollBarStyle::barWidth);
}

TEST(LauncherKeyRules, KeysOutsideThePanelAndClearingWithoutTheFieldPassOn) {
    LauncherKeyContext context;
    context.searchFocused = true;
    const KeyStroke escape{keysym::escape, {}};
    EXPECT_TRUE(decideLauncherKey(escape, context).consume);
    context.eventInPanel = false;
    EXPECT_TRUE(decideLauncherKey(escape, context).consume) << "the panel still has the keyboard";
    context.panelIsKeyWindow = false;
    EXPECT_FALSE(decideLauncherKey(escape, context).consume);

    LauncherKeyContext panel;
    const KeyStroke clear{'c', KeyModifier::Ctrl | KeyModifier::Shift};
    panel.searchFocused = true;
    EXPECT_EQ(decideLauncherKey(clear, panel).command, LauncherKeyCommand::ClearSelection);
    panel.searchFocused = false;
    EXPECT_FALSE(decideLauncherKey(clear, panel).consume) << "the menu's shortcut takes it";
    const KeyStroke superEscape{keysym::escape, KeyModifier::Super};
    EXPECT_EQ(decideLauncherKey(superEscape, panel).command, LauncherKeyCommand::None);
}

bool waitFor(const std::function<bool()>& done) {
    QDeadlineTimer limit(5000);
    while (!done() && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

TEST(IconCache, LoadsOffTheMainThreadAndShowsAPlaceholderMeanwhile) {
    std::atomic<bool> offMainThread = true;
    std::atomic<int> loads = 0;
    QImage red(128, 128, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    IconCache icons([&](const InstalledApp& app, int) {
        offMainThread = offMainThread && QThread::currentThread() != qApp->thread();
        ++loads;
        return app.id == "none" ? QImage() : red;
    });
    QStringList loaded;
    QObject::connect(&icons, &IconCache::iconLoaded, [&](const QString& id) { loaded << id; });
    const InstalledApp app{"red", "Red", "/x.desktop", {}};
    const QImage before = icons.icon(app, 44, 10, 1).toImage();
    EXPECT_NE(before.pixelColor(22, 22), QColor(Qt::red)) << "the placeholder first";
    icons.icon(app, 44, 10, 1);  // asked again while loading: one load
    icons.icon({"none", "None", "/y.desktop", {}}, 44, 10, 1);
    ASSERT_TRUE(waitFor([&] { return !icons.isBusy(); }));
    EXPECT_EQ(loaded, (QStringList{"red", "none"}));
    EXPECT_EQ(loads, 2);
    EXPECT_TRUE(offMainThread);
    const QImage after = icons.icon(app, 44, 10, 1).toImage();
    EXPECT_EQ(after.size(), QSize(44, 44));
    EXPECT_EQ(after.pixelColor(22, 22), QColor(Qt::red));
    EXPECT_EQ(after.pixelColor(0, 0).alpha(), 0) << "rounded corners";
    EXPECT_TRUE(icons.isLoaded("none"));
    EXPECT_EQ(loads, 2);
}

TEST(IconCache, KeepsIconsAtTheLargestDrawnSizeTimesTheScreensRatio) {
    QImage big(512, 512, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::red);
    for (const qreal ratio : {1.0, 2.0}) {
        std::atomic<int> asked = 0;
        IconCache icons(
            [&](const InstalledApp&, int pixels) {
                asked = pixels;
                return big;
            },
            ratio);
        const InstalledApp app{"red", "Red", "/x.desktop", {}};
        icons.icon(app, 44, 10, ratio);
        ASSERT_TRUE(waitFor([&] { return icons.isLoaded("red"); }));
        EXPECT_EQ(asked, IconCache::largestDrawnSize * ratio);
        const QPixmap drawn = icons.icon(app, 44, 10, ratio);
        EXPECT_EQ(drawn.size(), QSize(44, 44) * ratio);
        EXPECT_EQ(drawn.devicePixelRatio(), ratio);
        EXPECT_EQ(drawn.toImage().pixelColor(drawn.rect().center()), QColor(Qt::red));
    }
}

TEST(AppIcon, AVectorIconIsDrawnAtTheSizeAskedFor) {
    // A one-unit black stripe down the middle of a white square: drawn at 128 pixels it is two
    // pixels of solid black; scaled up from a smaller drawing, its edges would be grey.
    testing::TemporaryTree tree;
    const QString file = tree.write(
        "icons/stripe.svg",
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">)"
        R"(<rect width="64" height="64" fill="white"/><rect x="32" width="1" height="64"/>)"
        R"(</svg>)");
    for (const int size : {64, 128}) {
        const QImage icon = appIconFromFile(file, size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        const int scale = size / 64;
        EXPECT_EQ(icon.pixelColor(32 * scale, 10), QColor(Qt::black)) << size;
        EXPECT_EQ(icon.pixelColor(33 * scale - 1, 10), QColor(Qt::black)) << size;
        EXPECT_EQ(icon.pixelColor(33 * scale, 10), QColor(Qt::white)) << size;
        EXPECT_EQ(icon.pixelColor(32 * scale - 1, 10), QColor(Qt::white)) << size;
    }
}

TEST(AppIcon, AThemedIconFileIsDrawnSquareAndCentred) {
    testing::TemporaryTree tree;
    tree.makeFolder("pixmaps");
    QImage image(64, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    image.save(tree.path("pixmaps/wide.png"));
    const QImage icon = appIconFromFile(tree.path("pixmaps/wide.png"), 128);
    EXPECT_EQ(icon.size(), QSize(128, 128));
    EXPECT_EQ(icon.pixelColor(64, 64), QColor(Qt::blue));
    EXPECT_EQ(icon.pixelColor(64, 5).alpha(), 0) << "a wide icon is centred on a square";
    EXPECT_TRUE(appIconFromFile(tree.path("pixmaps/none.png"), 128).isNull());
    // A file that is not what its suffix says is still read, by its content.
    image.save(tree.path("pixmaps/misnamed.xpm"), "PNG");
    EXPECT_EQ(appIconFromFile(tree.path("pixmaps/misnamed.xpm"), 128).pixelColor(64, 64),
              QColor(Qt::blue));
}

}  // namespace
}  // namespace tessora
