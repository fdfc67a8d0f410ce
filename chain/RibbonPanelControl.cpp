// The Chain strip's navigation panel and its Alt + scroll grab, which exist together while
// there is something to scroll.
#include "chain/RibbonLayoutSession.h"

#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcChainPanel, "tessora.chain.panel")
}  // namespace

template <class F>
void RibbonLayoutSession::dispatch(F&& callback) {
    ++m_dispatchDepth;
    callback();
    if (--m_dispatchDepth == 0) {
        m_retiredPanels.clear();
    }
}

void RibbonLayoutSession::updatePanel() {
    if (m_windows.size() < 2 || maxOffset() <= 0) {
        removePanel();  // everything fits: nothing to scroll
        return;
    }
    const int count = static_cast<int>(m_windows.size());
    // The panel touches the top of the usable area, centred on it. The area is the display's
    // visible frame in window space, so no conversion from screen space is needed here.
    const WindowRect frame = ribbondots::panelFrame(m_strip.area, count);
    if (!m_panelShown && m_makePanel) {
        m_panel = m_makePanel();
        if (m_panel) {
            m_panel->setHandlers({
                [this](int index) { dispatch([&] { selectColumn(index); }); },
                [this](const ScrollInput& input) { dispatch([&] { handleScroll(input); }); },
                [this] { dispatch([&] { end(); }); },
            });
        }
    }
    if (!m_panel && !m_panelShown) {
        qCDebug(lcChainPanel) << "No panel to show the Chain columns on; Alt + scroll still works";
    }
    m_panelShown = true;
    if (m_panel) {
        m_panel->show(frame, dots());
    }
    if (!m_scrollTap) {
        installScrollTap();
    }
}

void RibbonLayoutSession::removePanel() {
    m_gestureHold.reset();
    m_scrollTap.reset();
    m_panelShown = false;
    if (!m_panel) {
        return;
    }
    if (m_dispatchDepth > 0) {
        m_retiredPanels.push_back(std::move(m_panel));  // its own callback is still running
    } else {
        m_panel.reset();
    }
}

void RibbonLayoutSession::installScrollTap() {
    m_scrollTap =
        m_system.grabOptionScroll([this](const ScrollInput& input) { return onScrollTap(input); });
    if (!m_scrollTap) {
        // The panel still scrolls; the next update of the panel tries again.
        qCWarning(lcChainPanel) << "Alt + scroll cannot be grabbed; the Chain strip scrolls"
                                << "over its panel only";
    }
}

InputDecision RibbonLayoutSession::onScrollTap(const ScrollInput& input) {
    // Scrolling without Alt, or outside the strip, belongs to the window under the pointer.
    // While a gesture holds the pointer its notches are the strip's, wherever the pointer went
    // and whether Alt is still down: a fast wheel's notches wait for the one before them to be
    // answered, and Alt may come up meanwhile.
    const bool ours = m_gestureHold || (input.modifiers.testFlag(KeyModifier::Alt) &&
                                        m_strip.area.contains(input.location));
    if (ours && handleScroll(input)) {
        if (!m_gestureHold) {
            m_gestureHold = m_system.holdScrollGesture();
        }
        return InputDecision::Swallow;
    }
    // Passed on: a hold has ended with it.
    m_gestureHold.reset();
    return InputDecision::Pass;
}

}  // namespace tessora
