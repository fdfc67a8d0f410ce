// Pictures of each step of the first run, written next to the test binary
// (../screenshots/onboarding/) for a person to look at; the checks only make sure each picture
// shows its state.
#include "app/OnboardingPermissions.h"
#include "app/OnboardingStepIndicator.h"
#include "app/PracticeCard.h"
#include "preferences/OrrerySwitch.h"
#include "preferences/Palette.h"
#include "tests/app/OnboardingFixture.h"

#include <QDir>
#include <QImage>
#include <QLabel>

namespace tessora {
namespace {

using onboarding::Gesture;

class OnboardingScreenshots : public OnboardingFixture {
protected:
    QImage shoot(const QString& name) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const QImage image = view->grab().toImage();
        const QString folder =
            QCoreApplication::applicationDirPath() + "/../screenshots/onboarding/";
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + name + ".png"));
        EXPECT_EQ(image.size() / image.devicePixelRatio(), QSize(700, 620));
        return image;
    }
    QColor at(const QImage& image, QPointF point) const {
        return image.pixelColor((point * image.devicePixelRatio()).toPoint());
    }
    QColor atCap(const QImage& image, int gesture) const {
        PracticeCard* card = view->card(gesture);
        // Inside the first cap's face, beside its text.
        return at(image,
                  card->mapTo(view.get(), card->capRect(0).topLeft().toPoint()) + QPointF(6, 6));
    }
};

TEST_F(OnboardingScreenshots, Welcome) {
    start(0);
    const QImage image = shoot("0-welcome");
    const QRectF first = view->stepIndicator()->barRect(0);
    const QRectF second = view->stepIndicator()->barRect(1);
    EXPECT_EQ(at(image, first.center()), palette::accent());
    EXPECT_NE(at(image, second.center()), palette::accent());
}

TEST_F(OnboardingScreenshots, PracticeWithTwoKeysSeen) {
    start(1);
    model.setVerifiedKeys({Gesture::Select, Gesture::Clear});
    const QImage image = shoot("1-practice");
    EXPECT_GT(atCap(image, Gesture::Select).lightness(), 200);
    EXPECT_LT(atCap(image, Gesture::Open).lightness(), 80);
}

TEST_F(OnboardingScreenshots, PracticeWithTheShortcutHeldElsewhere) {
    sim.setHotKeyTaken(kCtrlEscape, true);
    start(1);
    model.setVerifiedKeys({Gesture::Select});
    shoot("1-practice-shortcut-taken");
    EXPECT_TRUE(view->findChild<QPushButton*>()->isVisible());
}

TEST_F(OnboardingScreenshots, PermissionsWaitingAndGranted) {
    start(2);
    shoot("2-permissions-waiting");
    windowControl = true;
    login.failure = QStringLiteral("Read-only file system");
    clock.advance(std::chrono::seconds(1));
    view->loginSwitch()->click();
    ASSERT_TRUE(view->permissions()->loginError()->isVisible());
    const QImage image = shoot("2-permissions-granted-login-failed");
    OrrerySwitch* control = view->windowControlSwitch();
    const QPoint track = control->mapTo(view.get(), QPoint(8, control->height() / 2));
    EXPECT_EQ(at(image, track), palette::accent());
}

}  // namespace
}  // namespace tessora
