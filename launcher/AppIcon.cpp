#include "launcher/AppIcon.h"

#include "platform/DesktopEntry.h"

#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>

namespace tessora {

namespace {

// Icon files come from anywhere: refuse images that would take absurd memory to decode.
constexpr int maxIconAllocationMiB = 64;

QImage loadScaled(const QString& path) {
    QImageReader reader(path);
    reader.setAllocationLimit(maxIconAllocationMiB);
    if (!reader.canRead()) {
        return {};
    }
    const QSize natural = reader.size();
    if (natural.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // Vector images render straight at the final size; large bitmaps shrink while decoding.
        reader.setScaledSize(natural.scaled(appIconSize, appIconSize, Qt::KeepAspectRatio));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    return image.scaled(appIconSize, appIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage fromTheme(const QString& name) {
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    const QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull()) {
        return {};
    }
    return icon.pixmap(QSize(appIconSize, appIconSize)).toImage();
}

// Icons named in no theme but installed the old way, in a pixmaps folder.
QImage fromPixmapsFolders(const QString& name) {
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        for (const char* suffix : {".png", ".svg", ".xpm"}) {
            const QString path =
                folder + QStringLiteral("/pixmaps/") + name + QLatin1String(suffix);
            if (QFileInfo::exists(path)) {
                if (QImage image = loadScaled(path); !image.isNull()) {
                    return image;
                }
            }
        }
    }
    return {};
}

QImage fitted(QImage image) {
    if (image.size() == QSize(appIconSize, appIconSize)) {
        return image;
    }
    // Centre a non-square image on a transparent square.
    QImage square(appIconSize, appIconSize, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    const QImage scaled =
        image.scaled(appIconSize, appIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((appIconSize - scaled.width()) / 2, (appIconSize - scaled.height()) / 2,
                      scaled);
    return square;
}

}  // namespace

QImage placeholderIcon(const QString& name) {
    QImage image(appIconSize, appIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, appIconSize - 16, appIconSize - 16), 24, 24);
    painter.fillPath(tile, QColor(183, 159, 255));
    const QString initial = name.trimmed().left(1).toUpper();
    if (!initial.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(56);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(15, 13, 24));
        painter.drawText(QRectF(0, 0, appIconSize, appIconSize), Qt::AlignCenter, initial);
    }
    return image;
}

QImage appIconFromFile(const QString& path) {
    const QImage image = loadScaled(path);
    return image.isNull() ? image : fitted(image);
}

QImage appIcon(const InstalledApp& app) {
    QString iconKey;
    if (app.url.endsWith(QLatin1String(".desktop"))) {
        if (const auto entry = readDesktopEntry(app.url)) {
            iconKey = entry->icon.trimmed();
        }
    }
    QImage image;
    if (QFileInfo(iconKey).isAbsolute()) {
        image = loadScaled(iconKey);
    } else if (!iconKey.isEmpty() && !iconKey.contains(QLatin1Char('/'))) {
        image = fromTheme(iconKey);
        if (image.isNull()) {
            image = fromPixmapsFolders(iconKey);
        }
    }
    return image.isNull() ? placeholderIcon(app.name) : fitted(image);
}

}  // namespace tessora
