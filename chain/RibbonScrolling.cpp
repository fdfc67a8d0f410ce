// Scrolling the Chain strip: scroll requests, the eased animation towards the target, and the
// snap to a column when a gesture pauses.
#include "chain/RibbonLayoutSession.h"

#include "core/Sleep.h"

#include <algorithm>
#include <cmath>

namespace tessora {

void RibbonLayoutSession::scrollTo(double x) {
    const double target = clampedOffset(x);
    if (std::abs(target - m_strip.targetOffset) <= scrollIgnored) {
        return;
    }
    m_strip.targetOffset = target;
    setActiveIndex(nearestColumn(target));
    startScrollAnimation();
}

void RibbonLayoutSession::startScrollAnimation() {
    if (m_scrollAnimation.held()) {
        return;  // the running animation follows the new target
    }
    const std::stop_token stop = m_scrollAnimation.prepare();
    m_scrollAnimation.launch(animationLoop(m_sessionID, stop));
}

Task<void> RibbonLayoutSession::animationLoop(QUuid id, std::stop_token stop) {
    // An exponential ease-out: each frame covers a share of what is left, and the last bit is
    // jumped. The windows follow through the coalescing render loop, which raises them only
    // once this task is gone.
    while (!stop.stop_requested() && m_sessionID == id) {
        const double remaining = m_strip.targetOffset - m_strip.offset;
        if (std::abs(remaining) >= scrollArrival) {
            m_strip.offset += remaining * scrollEasing;
            requestRender(false, false);
            co_await sleepFor(m_clock, renderFrame, stop);  // an interrupted sleep is checked above
            continue;
        }
        m_strip.offset = m_strip.targetOffset;
        m_scrollAnimation.release();
        requestRender(false, true);
        co_return;
    }
    if (m_sessionID == id && m_scrollAnimation.held()) {
        m_scrollAnimation.release();
    }
}

bool RibbonLayoutSession::handleScroll(const ScrollInput& input) {
    const double dx = input.deltaX;
    const double delta = dx != 0 ? dx : input.deltaY;
    if (delta == 0) {
        return false;
    }
    // A vertical wheel moves the strip too, with its sign reversed: wheel up goes back.
    const double step = dx != 0 ? dx : -input.deltaY;
    if (!m_scrollGestureStartOffset) {
        m_scrollGestureStartOffset = m_strip.targetOffset;
    }
    m_scrollGestureDirection = step > 0 ? 1 : -1;
    const double multiplier = input.precise ? 1 : wheelNotchPoints;
    scrollTo(m_strip.targetOffset + step * multiplier);
    scheduleScrollSettle();
    return true;
}

void RibbonLayoutSession::scheduleScrollSettle() {
    m_scrollSettleTask.cancel();
    const std::stop_token stop = m_scrollSettleTask.prepare();
    m_scrollSettleTask.launch(settleAfterPause(m_sessionID, stop));
}

Task<void> RibbonLayoutSession::settleAfterPause(QUuid id, std::stop_token stop) {
    // Every scroll event replaces this task, so it only gets past the sleep once the events
    // have paused.
    co_await sleepFor(m_clock, scrollSettleDelay, stop);
    if (stop.stop_requested() || m_sessionID != id) {
        co_return;
    }
    const double startOffset = m_scrollGestureStartOffset.value_or(m_strip.targetOffset);
    const int startIndex = nearestColumn(startOffset);
    int targetIndex = nearestColumn(m_strip.targetOffset);
    if (targetIndex == startIndex && m_scrollGestureDirection != 0) {
        // The gesture did not reach another column: a short flick still moves by one.
        const int last = static_cast<int>(m_strip.itemOffsets.size()) - 1;
        targetIndex = startIndex + (m_scrollGestureDirection > 0 ? 1 : -1);
        targetIndex = std::max(0, std::min(targetIndex, last));
    }
    const double snap = targetIndex >= 0 && targetIndex < m_strip.itemOffsets.size()
                            ? m_strip.itemOffsets[targetIndex]
                            : m_strip.targetOffset;
    m_scrollSettleTask.release();
    m_scrollGestureStartOffset.reset();
    m_scrollGestureDirection = 0;
    scrollTo(snap);
}

void RibbonLayoutSession::cancelScrollGesture() {
    m_scrollSettleTask.cancel();
    m_scrollGestureStartOffset.reset();
    m_scrollGestureDirection = 0;
}

void RibbonLayoutSession::selectColumn(int index) {
    cancelScrollGesture();
    const bool known = index >= 0 && index < m_strip.itemOffsets.size();
    scrollTo(known ? m_strip.itemOffsets[index] : 0.0);
    // The clicked dot is the current one even when the strip cannot scroll that far.
    setActiveIndex(index);
}

}  // namespace tessora
