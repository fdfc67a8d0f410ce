#include "preferences/Fonts.h"

#include <QDir>
#include <QFontDatabase>

#include <mutex>

namespace tessora {

namespace {

// Where Debian's fonts-manrope puts the static weights.
constexpr auto kManropeDirectory = "/usr/share/fonts/truetype/manrope";

QFont sized(QFont font, qreal size, QFont::Weight weight) {
    font.setPixelSize(qMax(1, qRound(size)));
    font.setWeight(weight);
    return font;
}

}  // namespace

int registerFontsFrom(const QString& directory) {
    int added = 0;
    const QFileInfoList files =
        QDir(directory).entryInfoList({QStringLiteral("Manrope-*.ttf")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (QFontDatabase::addApplicationFont(file.absoluteFilePath()) >= 0) {
            ++added;
        }
    }
    return added;
}

void registerFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Installed among the system's fonts, as the package installs it, fontconfig lists it
        // already: registering the files again reads all seven at start and keeps a second
        // description of each for the life of the program.
        if (!QFontDatabase::hasFamily(QStringLiteral("Manrope"))) {
            registerFontsFrom(QString::fromLatin1(kManropeDirectory));
        }
    });
}

QFont manrope(qreal size, QFont::Weight weight) {
    QFont font(QStringLiteral("Manrope"));
    // Without Manrope the sans-serif default stands in at the same size and weight.
    font.setStyleHint(QFont::SansSerif);
    return sized(font, size, weight);
}

QFont systemFont(qreal size, QFont::Weight weight) {
    return sized(QFontDatabase::systemFont(QFontDatabase::GeneralFont), size, weight);
}

}  // namespace tessora
