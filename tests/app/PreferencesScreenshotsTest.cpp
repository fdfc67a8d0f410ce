// Pictures of the settings window's content, written next to the test binary (../screenshots/
// preferences/) for a person to look at; the checks only make sure each picture shows its state.
#include "app/AttentionBadge.h"
#include "app/PreferencesView.h"
#include "app/ShortcutService.h"
#include "app/ShortcutsView.h"
#include "app/SidebarEntry.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/Fonts.h"
#include "preferences/Palette.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace tessora {
namespace {

using Section = PreferencesNavigation::Section;

class PreferencesScreenshots : public ::testing::Test {
protected:
    void SetUp() override {
        registerFonts();
        WindowControl control{[this](QString*) { return available; }, [] {}};
        view = std::make_unique<PreferencesView>(
            navigation, control, clock, [this](Section section, QWidget* parent) -> QWidget* {
                if (section == Section::Shortcuts) {
                    return new ShortcutsView(service, parent);
                }
                auto* placeholder = new QLabel("The settings page", parent);
                placeholder->setAlignment(Qt::AlignCenter);
                return placeholder;
            });
        view->resize(PreferencesView::kWidth, 620);
    }

    QImage shoot(const QString& name) {
        view->show();
        const QPropertyAnimation& slide = view->sidebarAnimation();
        if (slide.state() == QAbstractAnimation::Running) {
            view->sidebarAnimation().setCurrentTime(slide.totalDuration());
        }
        const QString folder =
            QCoreApplication::applicationDirPath() + "/../screenshots/preferences/";
        QDir().mkpath(folder);
        // Saved at twice the density, so that the small symbols can be looked at closely.
        QImage sharp(view->size() * 2, QImage::Format_ARGB32_Premultiplied);
        sharp.setDevicePixelRatio(2);
        view->render(&sharp);
        EXPECT_TRUE(sharp.save(folder + name + ".png"));
        return view->grab().toImage();
    }

    // A point inside an entry, clear of its symbol, title and badge.
    QPoint inEntry(Section section) const {
        SidebarEntry* entry = view->entry(section);
        return entry->mapTo(view.get(), QPoint(entry->width() - 40, 4));
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory({});
    ShortcutService service{sim, *defaults};
    PreferencesNavigation navigation;
    bool available = true;
    std::unique_ptr<PreferencesView> view;
};

TEST_F(PreferencesScreenshots, SettingsSelected) {
    const QImage image = shoot("settings");
    EXPECT_EQ(image.width(), 791);
    EXPECT_EQ(image.pixelColor(inEntry(Section::Settings)), palette::accent());
    EXPECT_EQ(image.pixelColor(inEntry(Section::Shortcuts)), palette::windowBackground());
}

TEST_F(PreferencesScreenshots, ShortcutsPage) {
    navigation.setSection(Section::Shortcuts);
    const QImage image = shoot("shortcuts");
    EXPECT_EQ(image.pixelColor(inEntry(Section::Shortcuts)), palette::accent());
    EXPECT_EQ(image.pixelColor(inEntry(Section::Settings)), palette::windowBackground());

    // The end of the card, scrolled to.
    QScrollBar* bar = qobject_cast<ShortcutsView*>(view->page())->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_GT(bar->value(), 0);
    shoot("shortcuts-end");
}

TEST_F(PreferencesScreenshots, SidebarHidden) {
    navigation.setSection(Section::Shortcuts);
    view->show();
    navigation.setSidebarVisible(false);
    const QImage image = shoot("sidebar-hidden");
    // Where the brand was there is only the background now.
    EXPECT_EQ(image.pixelColor(30, 100), palette::windowBackground());
}

TEST_F(PreferencesScreenshots, AttentionBadge) {
    available = false;
    const QImage image = shoot("attention-badge");
    AttentionBadge* badge = view->attentionBadge();
    const QPoint centre = badge->mapTo(view.get(), QPoint(badge->width() / 2, 3));
    EXPECT_EQ(image.pixelColor(centre), palette::alertRed());
}

}  // namespace
}  // namespace tessora
