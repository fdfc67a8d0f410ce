#include "launcher/AppIcon.h"
#include "platform/IconLookup.h"

#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>
#include <QBuffer>

namespace tessora {
namespace {

using testing::TemporaryTree;

QByteArray png(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class AppIconTest : public ::testing::Test {
protected:
    AppIconTest() {
        // A private hicolor theme and pixmaps folder, so the test does not depend on the
        // machine's icons.
        tree.write("icons/hicolor/index.theme",
                   "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n"
                   "[48x48/apps]\nSize=48\nType=Fixed\n");
        tree.write("icons/hicolor/48x48/apps/org.example.Red.png", png({48, 48}, Qt::red));
        tree.write("pixmaps/legacy.png", png({32, 32}, Qt::green));
    }

    InstalledApp entryWithIcon(const QString& icon) {
        const QString path = tree.write(
            "applications/app.desktop",
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Zebra\nExec=z\nIcon=%1\n")
                .arg(icon)
                .toUtf8());
        return {"app", "Zebra", path, {}};
    }

    QImage load(const InstalledApp& app) {
        const IconDirectories directories("hicolor", {tree.path("icons")}, {tree.path("pixmaps")});
        return loadAppIcon(app, directories, 128);
    }

    TemporaryTree tree;
};

TEST_F(AppIconTest, ThemeNamePixmapOrAbsolutePathElseNothing) {
    const QImage themed = load(entryWithIcon("org.example.Red"));
    EXPECT_EQ(themed.size(), QSize(128, 128));
    EXPECT_EQ(QColor(themed.pixel(64, 64)), QColor(Qt::red));
    EXPECT_EQ(QColor(load(entryWithIcon("legacy")).pixel(64, 64)), QColor(Qt::green));

    // A wide image is centred on a square, transparent above and below.
    const QString file = tree.write("art/wide.png", png({200, 100}, Qt::blue));
    const QImage wide = load(entryWithIcon(file));
    EXPECT_EQ(wide.size(), QSize(128, 128));
    EXPECT_EQ(QColor(wide.pixel(64, 64)), QColor(Qt::blue));
    EXPECT_EQ(qAlpha(wide.pixel(64, 2)), 0);

    // Anything else gives nothing, and the view shows the placeholder.
    const QString junk = tree.write("art/junk.png", "not an image at all");
    for (const QString& icon :
         {QString("no-such-icon"), junk, QString("../../etc/passwd"), QString("")}) {
        EXPECT_TRUE(load(entryWithIcon(icon)).isNull()) << icon.toStdString();
    }
    // An application that is only a running executable has no entry to read.
    EXPECT_TRUE(load({"tool", "Zebra", "/usr/bin/tool", {}}).isNull());
    EXPECT_EQ(placeholderIcon("Zebra", 128).size(), QSize(128, 128));
    EXPECT_FALSE(placeholderIcon("", 128).isNull());
}

}  // namespace
}  // namespace tessora
