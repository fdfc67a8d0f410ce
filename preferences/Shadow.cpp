#include "preferences/Shadow.h"

#include <QImage>
#include <QPainter>
#include <QtMath>

#include <array>
#include <vector>

namespace tessora {

namespace {

std::vector<float> gaussianKernel(qreal sigma) {
    const int reach = qCeil(sigma * 3);
    std::vector<float> kernel(static_cast<size_t>(2 * reach + 1));
    float sum = 0;
    for (int i = -reach; i <= reach; ++i) {
        const auto weight = static_cast<float>(qExp(-(i * i) / (2 * sigma * sigma)));
        kernel[static_cast<size_t>(i + reach)] = weight;
        sum += weight;
    }
    for (float& weight : kernel) {
        weight /= sum;
    }
    return kernel;
}

// One pass along rows (step 1) or columns (step = width), clamping at the edges, which the
// callers keep transparent.
void blurPass(const QRgb* source, QRgb* target, int lines, int length, int lineStride, int step,
              const std::vector<float>& kernel) {
    const int reach = static_cast<int>(kernel.size() / 2);
    for (int line = 0; line < lines; ++line) {
        const QRgb* in = source + line * lineStride;
        QRgb* out = target + line * lineStride;
        for (int i = 0; i < length; ++i) {
            std::array<float, 4> sum{};
            for (int k = -reach; k <= reach; ++k) {
                const QRgb pixel = in[qBound(0, i + k, length - 1) * step];
                const float weight = kernel[static_cast<size_t>(k + reach)];
                sum[0] += weight * static_cast<float>(qAlpha(pixel));
                sum[1] += weight * static_cast<float>(qRed(pixel));
                sum[2] += weight * static_cast<float>(qGreen(pixel));
                sum[3] += weight * static_cast<float>(qBlue(pixel));
            }
            const auto channel = [&](int index) {
                return qBound(0, qRound(sum[static_cast<size_t>(index)]), 255);
            };
            out[i * step] = qRgba(channel(1), channel(2), channel(3), channel(0));
        }
    }
}

}  // namespace

void gaussianBlur(QImage& image, qreal sigma) {
    if (sigma < 0.1 || image.isNull()) {
        return;
    }
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const int width = image.width();
    const int height = image.height();
    const std::vector<float> kernel = gaussianKernel(sigma);
    std::vector<QRgb> buffer(static_cast<size_t>(width) * static_cast<size_t>(height));
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    // bytesPerLine of a 32-bit image is always width * 4, so the image is one packed array.
    blurPass(pixels, buffer.data(), height, width, width, 1, kernel);
    blurPass(buffer.data(), pixels, width, height, 1, width, kernel);
}

void paintShadow(QPainter& painter, const QPainterPath& shape, const QColor& colour, qreal radius,
                 QPointF offset) {
    if (shape.isEmpty() || colour.alpha() == 0) {
        return;
    }
    const qreal scale = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
    const qreal sigma = radius * scale;
    const int margin = qCeil(sigma * 3) + 1;
    const QRectF logical = shape.boundingRect().translated(offset);
    const QRect device = QRectF(logical.topLeft() * scale, logical.size() * scale)
                             .toAlignedRect()
                             .adjusted(-margin, -margin, margin, margin);

    QImage image(device.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter shadow(&image);
        shadow.setRenderHint(QPainter::Antialiasing);
        shadow.translate(-QPointF(device.topLeft()));
        shadow.scale(scale, scale);
        shadow.translate(offset);
        shadow.fillPath(shape, colour);
    }
    gaussianBlur(image, sigma);
    image.setDevicePixelRatio(scale);
    painter.drawImage(QPointF(device.topLeft()) / scale, image);
}

}  // namespace tessora
