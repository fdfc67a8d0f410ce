// Draws the application icon from the brand mark at build time: the logo tile as a scalable
// SVG and as PNGs of the sizes the icon themes look for, each in a hicolor folder of its own.
//   tessora-render-icons OUTPUT_FOLDER NAME SIZE...
// writes OUTPUT_FOLDER/scalable/apps/NAME.svg and OUTPUT_FOLDER/SIZExSIZE/apps/NAME.png.
#include "preferences/BrandMarks.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgGenerator>
#include <cstdio>

namespace {

// The canvas every size is drawn on, in the SVG's own units.
constexpr int kCanvas = 512;

// The tile leaves room around it for its shadow, which falls a little below it.
QRectF tileIn(qreal canvas) {
    const qreal margin = canvas * 0.06;
    return QRectF(margin, margin * 0.7, canvas - 2 * margin, canvas - 2 * margin);
}

bool writePng(const QString& folder, const QString& name, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    tessora::paintCasementLogo(painter, tileIn(size));
    painter.end();
    const QString path = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    return QDir().mkpath(path) && image.save(path + QLatin1Char('/') + name + ".png");
}

bool writeSvg(const QString& folder, const QString& name) {
    const QString path = folder + "/scalable/apps";
    if (!QDir().mkpath(path)) {
        return false;
    }
    QSvgGenerator svg;
    svg.setFileName(path + QLatin1Char('/') + name + ".svg");
    svg.setSize(QSize(kCanvas, kCanvas));
    svg.setViewBox(QRect(0, 0, kCanvas, kCanvas));
    svg.setTitle(QStringLiteral("Tessora"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    tessora::paintCasementLogo(painter, tileIn(kCanvas));
    return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!writeSvg(folder, name)) {
        std::fprintf(stderr, "%s: cannot write the SVG icon\n", argv[0]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (!number || size <= 0 || !writePng(folder, name, size)) {
            std::fprintf(stderr, "%s: cannot write the %s px icon\n", argv[0], argv[i]);
            return 1;
        }
    }
    return 0;
}
