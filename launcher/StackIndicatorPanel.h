#pragma once

#include "arrange/StackIndicatorView.h"

#include <QList>
#include <QRectF>
#include <QWidget>

class QScreen;

namespace tessora {

class WindowSystem;

// The window stack indicator's pill on screen: a small frameless window kept above the others,
// left out of the taskbar and the window cycle, which never takes the focus from the window
// the user works in. It is drawn black with a white border and white dots when the desktop's
// palette is dark, white with black otherwise, and clipped to its rounded shape so that it
// looks right without a compositing manager.
class StackIndicatorPanel final : public StackIndicatorView {
public:
    explicit StackIndicatorPanel(WindowSystem& windows);
    ~StackIndicatorPanel() override;

    void show(const WindowRect& frame, stackindicator::Orientation orientation,
              const QList<QRectF>& dots) override;
    void hide() override;
    void setClickHandler(ClickHandler handler) override;

    // The pill's top-level window, for tests.
    QWidget* widget() const;

    // Where a frame in window space (origin at the primary monitor's top-left, in points, as
    // Qt's logical pixels) lands in Qt's coordinates: moved by the primary screen's origin, its
    // size rounded around its centre, so it stays centred on the gap it was placed in. Without
    // a screen, window space is taken as it is.
    static QRect qtGeometry(const WindowRect& frame, const QScreen* primary);

private:
    class Pill;
    // Deleted later rather than with the panel: the panel may be dropped by the pill's own click.
    Pill* m_pill;
};

// Makes panels for a WindowStackIndicator; `windows` marks their windows as panels and must
// outlive them.
StackIndicatorViewFactory stackIndicatorPanelFactory(WindowSystem& windows);

}  // namespace tessora
