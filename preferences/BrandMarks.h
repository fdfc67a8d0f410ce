#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace tessora {

// The brand mark: a casement window of four panes of different heights, as windows arranged
// side by side, with soft rounded corners: large on the window's outer corners, small where the
// panes meet. Four closed subpaths of lines and cubic curves, every point a fraction of `rect`
// (fill it square to keep the proportions).
QPainterPath orreryMark(const QRectF& rect);

// Draws the application's logo tile into the square `tile`: the violet gradient tile with its
// glows, sheen and light border, the mark in white, and the shadow under it (which falls
// outside `tile`; leave room for it where it should show).
void paintCasementLogo(QPainter& painter, const QRectF& tile);

// The mark filled with one colour, kept square and centred in the widget.
class CasementSymbol : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit CasementSymbol(const QColor& color, QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    QSize sizeHint() const override { return {16, 16}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

signals:
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

// The logo tile, as large a square as the widget holds, centred. The tile fills that square,
// so its shadow (black at 16 %, hardly visible on the dark window background anyway) is clipped
// at the widget's edges; the tile keeps the size the layout gives it.
class CasementLogo : public QWidget {
    Q_OBJECT

public:
    explicit CasementLogo(QWidget* parent = nullptr);

    // The square the tile is drawn in.
    QRectF tileRect() const;

    QSize sizeHint() const override { return {42, 42}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessora
