// Pictures of the settings page in its states, written next to the test binary
// (../screenshots/settings/) for a person to look at; the checks only make sure each picture
// shows its state.
#include "app/SettingsView.h"

#include "app/ShortcutButton.h"
#include "app/ShortcutService.h"
#include "platform/sim/SimLoginItem.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/Fonts.h"
#include "preferences/OrrerySwitch.h"
#include "preferences/Palette.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QTest>

namespace tessora {
namespace {

class SettingsScreenshots : public ::testing::Test {
protected:
    void SetUp() override {
        registerFonts();
        WindowControl windowControl{[this](QString*) { return controllable; }, [] {}};
        view = std::make_unique<SettingsView>(service, *defaults, sim, login, windowControl, clock,
                                              [] {});
    }

    // The whole page, as tall as its content, at twice the density.
    QImage shoot(const QString& name) {
        view->show();
        QCoreApplication::processEvents();  // the layouts take in what the test changed
        const QLayout& content = *view->scrollArea()->widget()->layout();
        view->resize(SettingsView::kWidth, content.hasHeightForWidth()
                                               ? content.totalHeightForWidth(SettingsView::kWidth)
                                               : content.totalSizeHint().height());
        QCoreApplication::processEvents();
        QImage image(view->size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        view->render(&image);
        const QString folder =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots/settings/");
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + name + QStringLiteral(".png")));
        return image;
    }

    // The colour at the middle of `widget`, in the picture of the page.
    QColor colourAt(const QImage& image, const QWidget& widget) const {
        const QPoint centre = widget.mapTo(view.get(), widget.rect().center());
        return image.pixelColor(centre * 2);
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    ShortcutService service{sim, *defaults};
    SimLoginItem login;
    bool controllable = true;
    std::unique_ptr<SettingsView> view;
};

TEST_F(SettingsScreenshots, Idle) {
    view->spacingSwitch()->click();
    QVariantAnimation& slide = view->spacingSwitch()->knobAnimation();
    slide.setCurrentTime(slide.duration());
    const QImage image = shoot(QStringLiteral("idle"));
    EXPECT_EQ(image.width(), 2 * SettingsView::kWidth);
    EXPECT_EQ(image.pixelColor(2, 2), palette::windowBackground());
    EXPECT_EQ(colourAt(image, *view->spacingSwitch()), palette::windowBackground());  // the knob
}

TEST_F(SettingsScreenshots, Recording) {
    view->shortcutButton()->startRecording();
    QTest::keyClick(view.get(), Qt::Key_K);
    shoot(QStringLiteral("recording"));
    EXPECT_TRUE(view->recordingHintLabel()->isVisible());
    EXPECT_TRUE(view->shortcutErrorLabel()->isVisible());
}

TEST_F(SettingsScreenshots, LoginErrorAndWindowControlMissing) {
    controllable = false;
    login.failure = QStringLiteral("Permission denied");
    view->loginSwitch()->click();
    sim.setHotKeyTaken({keysym::space, KeyModifier::Super | KeyModifier::Alt}, true);
    service.registerCombination({keysym::space, KeyModifier::Super | KeyModifier::Alt});
    shoot(QStringLiteral("problems"));
    EXPECT_TRUE(view->loginErrorLabel()->isVisible());
}

}  // namespace
}  // namespace tessora
