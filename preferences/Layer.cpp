#include "preferences/Layer.h"

#include <QImage>
#include <QPainter>

namespace tessora {

void paintLayer(QPainter& painter, const QRect& bounds, qreal opacity,
                const std::function<void(QPainter&)>& draw) {
    if (opacity >= 1.0) {
        draw(painter);
        return;
    }
    const qreal scale = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
    QImage layer((QSizeF(bounds.size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    {
        QPainter inner(&layer);
        inner.setRenderHints(painter.renderHints());
        inner.setFont(painter.font());
        inner.translate(-bounds.topLeft());
        draw(inner);
    }
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(bounds.topLeft(), layer);
    painter.restore();
}

}  // namespace tessora
