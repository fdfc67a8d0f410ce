#pragma once

#include "chain/RibbonPanelView.h"

#include <QWidget>

class QAbstractButton;

namespace tessora {

// The Chain strip's navigation panel on screen: a small frameless pill of dots kept above the
// other windows, left out of the taskbar and the window cycle, which never takes the focus. It
// is black with a white border and white dots when the desktop's palette is dark, white with
// black otherwise, and clipped to its rounded shape so that it looks right without a
// compositing manager. A click on a dot selects its column, scrolling over it moves the strip
// (no key needed), hovering explains the gestures and a right click offers to end the layout.
class ChainPanel final : public RibbonPanelView {
public:
    explicit ChainPanel(WindowSystem& windows);
    ~ChainPanel() override;

    void show(const WindowRect& frame, const ribbondots::Dots& dots) override;
    void setDots(const ribbondots::Dots& dots) override;
    void setHandlers(Handlers handlers) override;

    // The pill's top-level window, for tests.
    QWidget* widget() const;
    // One button per dot, named after its application, for assistive technology.
    QList<QAbstractButton*> dotButtons() const;

private:
    class Pill;
    // Deleted later rather than with the panel: the panel may be dropped by the pill's own menu.
    Pill* m_pill;
};

// Makes panels for a RibbonLayoutSession; `windows` marks their windows as panels and must
// outlive them.
RibbonPanelViewFactory chainPanelFactory(WindowSystem& windows);

}  // namespace tessora
