#include "preferences/TrayIcon.h"

#include "preferences/BrandMarks.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace tessora {

QImage renderTrayImage(int px, qreal devicePixelRatio) {
    QImage image(QSize(px, px) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);

    // The symbol takes 15 of every 20 px, centred, as it fills its frame in a menu bar.
    const qreal side = px * 0.75;
    const QRectF frame((px - side) / 2, (px - side) / 2, side, side);
    const QPainterPath mark = orreryMark(frame);

    // Linux trays do not tint icons to match the panel, and panels come light and dark: the
    // symbol is white with a thin dark outline, so that it reads on either.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal outline = qMax<qreal>(1.0, side / 12);
    painter.strokePath(mark, QPen(QColor::fromRgbF(0.06f, 0.05f, 0.1f, 0.7f), outline,
                                  Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(mark, Qt::white);
    return image;
}

QIcon trayIcon() {
    QIcon icon;
    for (const int px : std::array{16, 22, 24, 32, 48}) {
        icon.addPixmap(QPixmap::fromImage(renderTrayImage(px, 1.0)));
        icon.addPixmap(QPixmap::fromImage(renderTrayImage(px, 2.0)));
    }
    return icon;
}

}  // namespace tessora
