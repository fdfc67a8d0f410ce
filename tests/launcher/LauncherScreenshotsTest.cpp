// Pictures of each state of the launcher, written next to the test binary (../screenshots/
// launcher/) for a person to look at; the checks only make sure each picture shows its state.
#include "launcher/IconCache.h"
#include "launcher/LayoutGlyph.h"
#include "launcher/LayoutsView.h"
#include "launcher/RecentApps.h"
#include "launcher/ResultsView.h"
#include "launcher/SearchBar.h"
#include "launcher/SelectionStrip.h"
#include "tests/launcher/LauncherFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace tessora {
namespace {

// Real entries of this machine where there are some (their icons come from the icon theme),
// and made-up ones with placeholder tiles.
InstalledApps screenshotCatalog() {
    InstalledApps apps;
    const QList<std::pair<QString, QString>> real{{"debian-xterm", "XTerm"},
                                                  {"vim", "Vim"},
                                                  {"display-im6.q16", "ImageMagick (display)"},
                                                  {"python3.11", "Python (v3.11)"},
                                                  {"openbox", "Openbox"}};
    for (const auto& [id, name] : real) {
        const QString path = "/usr/share/applications/" + id + ".desktop";
        apps.append({id, name, QFileInfo::exists(path) ? path : "/nonexistent.desktop", {}});
    }
    for (const char* name :
         {"Calculator", "Calendar", "Files", "Terminal", "Text Editor", "Maps", "Music", "Photos",
          "Weather", "Web Browser", "Mail", "Notes", "Settings", "System Monitor", "Videos",
          "Contacts", "Clocks", "Disks"}) {
        apps.append(testApp(QString(name).toLower().remove(' '), name));
    }
    return apps;
}

class LauncherScreenshots : public LauncherFixture {
protected:
    void SetUp() override {
        model.setApps(screenshotCatalog());
        showPanel();
    }

    // Paints, lets the icons that painting asked for arrive, and saves the panel.
    QImage shoot(const QString& name) {
        panel.grab();
        EXPECT_TRUE(waitUntil([&] { return !view->icons().isBusy(); }));
        settle();
        const QImage image = panel.grab().toImage();
        const QString folder = QCoreApplication::applicationDirPath() + "/../screenshots/launcher/";
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + name + ".png"));
        return image;
    }
};

TEST_F(LauncherScreenshots, ApplicationsList) {
    select({"vim", "terminal"});
    type("t");
    press(Qt::Key_Down);
    const QImage image = shoot("list");
    EXPECT_EQ(image.size(), QSize(544, 550));
    const QRectF highlighted = view->resultsView()->itemRectInViewport(1);
    const QPoint inHighlight = view->resultsView()->viewport()->mapTo(
        &panel, highlighted.topLeft().toPoint() + QPoint(6, 28));
    const QPoint inOther = view->resultsView()->viewport()->mapTo(
        &panel, view->resultsView()->itemRectInViewport(2).topLeft().toPoint() + QPoint(6, 28));
    EXPECT_GT(image.pixelColor(inHighlight).lightness(), image.pixelColor(inOther).lightness());
}

TEST_F(LauncherScreenshots, ApplicationsGrid) {
    state().setAppViewMode("grid");
    select({"vim", "calculator", "maps"});
    model.setHighlighted(8);
    const QImage image = shoot("grid");
    EXPECT_EQ(image.size(), QSize(900, 620));
}

TEST_F(LauncherScreenshots, RecentApplications) {
    model.setRecentIDs(
        {"vim", "debian-xterm", "files", "python3.11", "calendar", "maps", "music", "notes"});
    select({"files"});
    // Only the recent applications the catalog knows are shown, in their order.
    const auto shownRecents = [&] {
        QStringList ids;
        for (const InstalledApp& app : view->recentApps()->apps()) {
            ids << app.id;
        }
        return ids;
    };
    EXPECT_EQ(shoot("recents-list").size(), QSize(544, 550));
    EXPECT_TRUE(view->recentApps()->isVisible());
    QStringList known;
    for (const QString& id : model.recentIDs()) {
        if (std::any_of(model.apps().begin(), model.apps().end(),
                        [&](const InstalledApp& app) { return app.id == id; })) {
            known << id;
        }
    }
    EXPECT_EQ(shownRecents(), known.mid(0, shownRecents().size()));
    EXPECT_GE(shownRecents().size(), 3);
    state().setAppViewMode("grid");
    EXPECT_EQ(shoot("recents-grid").size(), QSize(900, 620));
    EXPECT_TRUE(view->recentApps()->isVisible());
}

TEST_F(LauncherScreenshots, SelectionStripWithCounter) {
    InstalledApps selection = model.apps().mid(0, 12);
    model.setSelected(selection);
    type("c");
    const QImage image = shoot("selection-strip");
    // Nine chips and a counter for the other three, drawn inside the search bar.
    SelectionStrip* strip = view->searchBar()->strip();
    EXPECT_EQ(strip->chips().size(), 9);
    ASSERT_NE(strip->counter(), nullptr);
    EXPECT_EQ(strip->counter()->text(), "+3");
    const QRect counter(strip->counter()->mapTo(&panel, QPoint(0, 0)), strip->counter()->size());
    EXPECT_TRUE(QRect(QPoint(0, 0), image.size()).contains(counter));
    int lit = 0;  // the "+3" is light text on the dark bar
    for (int x = counter.left(); x <= counter.right(); ++x) {
        lit += image.pixelColor(x, counter.center().y()).lightness() > 128 ? 1 : 0;
    }
    EXPECT_GT(lit, 0);
}

TEST_F(LauncherScreenshots, LayoutsWithAChosenAndAHoveredLayout) {
    model.setLayoutID("mirror");
    press(Qt::Key_2, Qt::ControlModifier);
    press(Qt::Key_Down);
    LayoutsView* list = view->layoutsView();
    QTest::mouseMove(list->viewport(), list->itemRectInViewport(4).center().toPoint());
    settle();
    ASSERT_EQ(state().hoveredLayoutID(), "triad");
    shoot("layouts-list");

    model.setLayoutID("ribbon");
    state().setAppViewMode("grid");
    QTest::mouseMove(list->viewport(), list->itemRectInViewport(2).center().toPoint());
    settle();
    ASSERT_EQ(state().hoveredLayoutID(), "mirror");
    shoot("layouts-grid");
}

TEST_F(LauncherScreenshots, NoResults) {
    type("qqqq");
    ASSERT_TRUE(model.results().isEmpty());
    EXPECT_EQ(shoot("empty").size(), QSize(544, 550));
    const auto [first, last] = view->resultsView()->visibleItems();
    EXPECT_EQ(first, last);  // nothing drawn in the list
    EXPECT_FALSE(view->recentApps()->isVisible());
}

// Every glyph at four times its cell size, the chosen look on the second row, for a close look.
TEST(LauncherGlyphs, Magnified) {
    const QList<WindowLayout>& layouts = builtInLayouts();
    QImage image(static_cast<int>(layouts.size()) * 100 * 4, 2 * 72 * 4,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(25, 25, 27));
    QPainter painter(&image);
    painter.scale(4, 4);
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < layouts.size(); ++i) {
            layoutglyph::paint(painter, QRectF(5 + i * 100, 5 + row * 72, 90, 62), layouts[i],
                               row == 1);
        }
    }
    painter.end();
    // Every glyph draws something, and the chosen look differs from the plain one.
    for (int i = 0; i < layouts.size(); ++i) {
        const QImage plain = image.copy(QRect(i * 400, 0, 400, 288));
        const QImage chosen = image.copy(QRect(i * 400, 288, 400, 288));
        QImage blank(plain.size(), plain.format());
        blank.fill(QColor(25, 25, 27));
        EXPECT_NE(plain, blank) << layouts[i].id.toStdString();
        EXPECT_NE(plain, chosen) << layouts[i].id.toStdString();
    }
    const QString folder = QCoreApplication::applicationDirPath() + "/../screenshots/launcher/";
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + "layout-glyphs.png"));
}

}  // namespace
}  // namespace tessora
