#include "launcher/AppIcon.h"

#include "platform/IconLookup.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tessora {

namespace {

// Icon files come from anywhere: refuse images that would take absurd memory to decode.
constexpr int maxIconAllocationMiB = 64;

QImage loadScaled(const QString& path, int size) {
    // Read as the file's suffix says first: with format detection on, Qt asks every image
    // plugin about even a PNG file, which loads them all (and the libraries behind them) into
    // the resident program for good. Only a file that is not what its suffix says is detected.
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(maxIconAllocationMiB);
    if (!reader.canRead()) {
        reader.setFileName(path);
        reader.setFormat({});
        reader.setAutoDetectImageFormat(true);
        if (!reader.canRead()) {
            return {};
        }
    }
    const QSize natural = reader.size();
    if (natural.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // Vector images render straight at the final size; large bitmaps shrink while decoding.
        reader.setScaledSize(natural.scaled(size, size, Qt::KeepAspectRatio));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage fitted(QImage image, int size) {
    if (image.size() == QSize(size, size)) {
        return image;
    }
    // Centre a non-square image on a transparent square.
    QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    const QImage scaled = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    painter.end();
    return square;
}

}  // namespace

int iconPixels(int logicalSize, qreal devicePixelRatio) {
    return static_cast<int>(std::ceil(logicalSize * std::max<qreal>(1.0, devicePixelRatio)));
}

QImage placeholderIcon(const QString& name, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 128-unit square, whatever the size in pixels.
    const qreal unit = size / 128.0;
    painter.scale(unit, unit);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 112, 112), 24, 24);
    painter.fillPath(tile, QColor(183, 159, 255));
    const QString initial = name.trimmed().left(1).toUpper();
    if (!initial.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(56);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(15, 13, 24));
        painter.drawText(QRectF(0, 0, 128, 128), Qt::AlignCenter, initial);
    }
    painter.end();
    return image;
}

QImage appIconFromFile(const QString& path, int size) {
    const QImage image = loadScaled(path, size);
    return image.isNull() ? image : fitted(image, size);
}

QImage loadAppIcon(const InstalledApp& app, const IconDirectories& directories, int size) {
    const QString file = appIconFile(app, directories);
    return file.isEmpty() ? QImage() : appIconFromFile(file, size);
}

}  // namespace tessora
