#include "platform/IconLookup.h"

#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

TEST(IconLookup, FindsThemedIconsBestFirstAndAbsoluteFiles) {
    testing::TemporaryTree tree;
    tree.write("icons/Dark/index.theme",
               "[Icon Theme]\nName=Dark\nInherits=hicolor\nDirectories=48x48/apps,symbolic/apps\n\n"
               "[48x48/apps]\nSize=48\nContext=Applications\nType=Fixed\n\n"
               "[symbolic/apps]\nSize=16\nContext=Applications\nType=Scalable\n");
    tree.write("icons/hicolor/index.theme",
               "[Icon Theme]\nName=Hicolor\n"
               "Directories=32x32/apps,256x256/apps,scalable/apps,48x48/mimetypes\n\n"
               "[32x32/apps]\nSize=32\nContext=Applications\n"
               "[256x256/apps]\nSize=256\nContext=Applications\n"
               "[scalable/apps]\nSize=128\nType=Scalable\nContext=Applications\n"
               "[48x48/mimetypes]\nSize=48\nContext=MimeTypes\n");
    tree.makeFolder("icons/hicolor/scalable/apps");
    for (const char* file :
         {"icons/hicolor/32x32/apps/small.png", "icons/hicolor/256x256/apps/small.png",
          "icons/Dark/48x48/apps/themed.png", "icons/hicolor/256x256/apps/themed.png",
          "icons/Dark/symbolic/apps/symbolic.png", "icons/hicolor/48x48/mimetypes/mime.png",
          "pixmaps/legacy.xpm"}) {
        tree.write(QString::fromLatin1(file), "an image");
    }

    const IconDirectories dirs("Dark", {tree.path("icons")}, {tree.path("pixmaps")});
    EXPECT_EQ(dirs.find("themed"), tree.path("icons/Dark/48x48/apps/themed.png"))
        << "the theme before hicolor";
    EXPECT_EQ(dirs.find("small"), tree.path("icons/hicolor/256x256/apps/small.png"))
        << "the largest size";
    EXPECT_EQ(dirs.find("symbolic"), "");
    EXPECT_EQ(dirs.find("mime"), "");
    EXPECT_EQ(dirs.find("legacy.xpm"), tree.path("pixmaps/legacy.xpm"));

    tree.write("apps/themed.desktop",
               "[Desktop Entry]\nType=Application\nName=T\nExec=t\nIcon=themed\n");
    tree.write("apps/file.desktop", "[Desktop Entry]\nType=Application\nName=F\nExec=f\nIcon=" +
                                        tree.path("pixmaps/legacy.xpm").toUtf8() + "\n");
    tree.write("apps/missing.desktop",
               "[Desktop Entry]\nType=Application\nName=M\nExec=m\nIcon=nowhere\n");
    tree.write("apps/gone.desktop",
               "[Desktop Entry]\nType=Application\nName=G\nExec=g\nIcon=/nowhere/gone.png\n");
    const auto file = [&](const char* id) {
        return appIconFile({id, "", tree.path(QStringLiteral("apps/%1.desktop").arg(id)), {}},
                           dirs);
    };
    EXPECT_EQ(file("themed"), tree.path("icons/Dark/48x48/apps/themed.png"));
    EXPECT_EQ(file("file"), tree.path("pixmaps/legacy.xpm"));
    EXPECT_EQ(file("missing"), "");
    EXPECT_EQ(file("gone"), "");
}

}  // namespace
}  // namespace tessora
