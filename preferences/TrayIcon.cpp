#include "preferences/TrayIcon.h"

#include "preferences/BrandMarks.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
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

namespace {

constexpr std::array kTraySizes{16, 22, 24, 32, 48};

// Draws the symbol at whatever size and density the tray asks for, when it asks: a tray shows
// one size, so holding ten ready-made images (each with the paint engine that drew it) for the
// life of the program is memory for nothing.
class TrayIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int px = std::max(1, std::min(rect.width(), rect.height()));
        painter->drawPixmap(rect, QPixmap::fromImage(renderTrayImage(px, scale)));
    }

    // `size` in device pixels, as QIcon asks.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` in device pixels too, for a screen of `scale`.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const int devicePx = std::max(1, std::min(size.width(), size.height()));
        const int px = std::max(1, qRound(devicePx / std::max<qreal>(scale, 1.0)));
        return QPixmap::fromImage(renderTrayImage(px, devicePx / qreal(px)));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int px = std::min(size.width(), size.height());
        return {px, px};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int px : kTraySizes) {
            sizes.append(QSize(px, px));
        }
        return sizes;
    }

    QString key() const override { return QStringLiteral("tessora-tray"); }
    QIconEngine* clone() const override { return new TrayIconEngine; }
};

}  // namespace

QIcon trayIcon() {
    return QIcon(new TrayIconEngine);
}

}  // namespace tessora
