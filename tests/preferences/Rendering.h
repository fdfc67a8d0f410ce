#pragma once

// Renders components offscreen on the window background, and keeps the images as screenshots
// in the build tree (<build>/screenshots/components) for people to look at.
#include "preferences/Palette.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QWidget>

#include <ostream>

// Lets test failures show colours readably.
inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}

namespace tessora::testing {

// `widget` laid out at `size` (its size hint when empty) and painted, children included, over
// the window background.
inline QImage render(QWidget& widget, QSize size = {}, qreal devicePixelRatio = 1.0) {
    widget.ensurePolished();
    if (size.isEmpty()) {
        size = widget.sizeHint();
        if (widget.hasHeightForWidth()) {
            size.setHeight(widget.heightForWidth(size.width()));
        }
    }
    widget.resize(size);
    if (widget.layout() != nullptr) {
        widget.layout()->activate();
    }
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(palette::windowBackground());
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline QString screenshotPath(const QString& name) {
    const QString directory =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots/components");
    QDir().mkpath(directory);
    return QDir(directory).absoluteFilePath(name + QStringLiteral(".png"));
}

// Saves a sharp (twice the density) picture of `widget` at its current size.
inline bool saveScreenshot(QWidget& widget, const QString& name, int margin = 12) {
    QImage image((widget.size() + QSize(2 * margin, 2 * margin)) * 2,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(palette::windowBackground());
    widget.render(&image, QPoint(margin, margin), QRegion(), QWidget::DrawChildren);
    return image.save(screenshotPath(name));
}

// Colours differ by at most 2 in every channel (rounding in blending and antialiasing).
inline bool near(QColor a, QColor b) {
    constexpr int tolerance = 2;
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace tessora::testing
