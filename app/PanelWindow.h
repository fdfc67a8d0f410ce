#pragma once

#include "launcher/PanelHost.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <functional>

namespace tessora {

// The launcher panel as the shell drives it: the view's PanelHost plus showing, hiding and the
// dismissal callback. One instance lives from start-up to termination; it is hidden and shown,
// never recreated.
class PanelWindow : public PanelHost {
public:
    // Shows the panel (if hidden), raises it and gives it the keyboard focus.
    virtual void orderFront() = 0;
    // Hides the panel. When it was visible, the dismissal callback runs once, afterwards;
    // hiding a hidden panel does nothing. Every way the panel can disappear ends here.
    virtual void orderOut() = 0;
    // Called after a visible panel was hidden, whatever the cause.
    virtual void setDidDismiss(std::function<void()> didDismiss) = 0;
    // Called when the panel has taken the keyboard focus.
    virtual void setDidBecomeKey(std::function<void()> didBecomeKey) = 0;
    // Keys typed elsewhere while the panel was on its way, handed to it as if typed into it.
    virtual void deliverTypedKeys(const QList<TypedKey>& keys) = 0;
    // Whether the hidden panel may be shown again now: just after hiding, the window system may
    // not have finished with the hiding yet, and showing it again before then goes wrong under
    // some window managers. The callback runs when the answer may have turned true.
    virtual bool canShowAgain() const = 0;
    virtual void setDidBecomeShowable(std::function<void()> didBecomeShowable) = 0;

    void dismissPanel() override { orderOut(); }
};

}  // namespace tessora
