// Hidden windows give their backing store back, and paint whole again when shown.
#include "app/HiddenWindowStores.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBackingStore>
#include <QDeadlineTimer>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <functional>

namespace tessora {
namespace {

bool waitFor(const std::function<bool()>& done) {
    QDeadlineTimer limit(5000);
    while (!done() && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

QColor shownColour(QWidget& window) {
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    return shown.isNull() ? QColor() : shown.pixelColor(shown.rect().center());
}

TEST(HiddenWindowStores, AHiddenWindowGivesUpItsImageAndIsPaintedWholeWhenShownAgain) {
    HiddenWindowStores stores;
    qApp->installEventFilter(&stores);
    QWidget window;
    window.resize(200, 100);
    window.setAutoFillBackground(true);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, Qt::red);
    window.setPalette(colours);
    auto* child = new QWidget(&window);
    child->setGeometry(0, 0, 10, 10);

    window.show();
    ASSERT_TRUE(waitFor([&] { return shownColour(window) == QColor(Qt::red); }));
    EXPECT_EQ(window.backingStore()->size(), QSize(200, 100));
    child->hide();
    EXPECT_EQ(window.backingStore()->size(), QSize(200, 100)) << "only windows give theirs up";

    window.hide();
    EXPECT_TRUE(window.backingStore()->size().isEmpty());

    // Changed while hidden: what shows is painted now, not kept from before.
    colours.setColor(QPalette::Window, Qt::blue);
    window.setPalette(colours);
    window.show();
    EXPECT_TRUE(waitFor([&] { return shownColour(window) == QColor(Qt::blue); }));
    EXPECT_EQ(window.backingStore()->size(), QSize(200, 100));
}

}  // namespace
}  // namespace tessora
