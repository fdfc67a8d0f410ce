// Pictures of each state of the launcher, written next to the test binary (../screenshots/
// launcher/) for a person to look at; the checks only make sure each picture shows its state.
#include "launcher/IconCache.h"
#include "launcher/LayoutGlyph.h"
#include "launcher/LayoutsView.h"
#include "launcher/ResultsView.h"
#include "tests/launcher/LauncherFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

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
    shoot("recents-list");
    state().setAppViewMode("grid");
    shoot("recents-grid");
}

TEST_F(LauncherScreenshots, SelectionStripWithCounter) {
    InstalledApps selection = model.apps().mid(0, 12);
    model.setSelected(selection);
    type("c");
    shoot("selection-strip");
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
    shoot("empty");
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
    const QString folder = QCoreApplication::applicationDirPath() + "/../screenshots/launcher/";
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + "layout-glyphs.png"));
}

}  // namespace
}  // namespace tessora
