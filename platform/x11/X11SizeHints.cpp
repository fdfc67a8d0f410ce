#include "platform/x11/X11SizeHints.h"

#include <algorithm>

namespace tessora::x11 {
namespace {

// WM_SIZE_HINTS flags and item positions (ICCCM 4.1.2.3).
constexpr uint32_t kMinSize = 1u << 4, kMaxSize = 1u << 5, kResizeInc = 1u << 6,
                   kBaseSize = 1u << 8;
constexpr std::size_t kItems = 18, kMin = 5, kMax = 7, kInc = 9, kBase = 15;
constexpr uint32_t kLargest = 32767;

QSize pair(const std::vector<uint32_t>& items, std::size_t at) {
    return QSize(static_cast<int>(std::min(items[at], kLargest)),
                 static_cast<int>(std::min(items[at + 1], kLargest)));
}

int fit(int wanted, int minimum, int maximum, int base, int increment) {
    int size = wanted;
    if (maximum > 0) {
        size = std::min(size, maximum);
    }
    if (increment > 1 && size > base) {
        size = base + (size - base) / increment * increment;
    }
    return std::max(size, minimum);
}

}  // namespace

std::optional<SizeHints> parseSizeHints(const std::vector<uint32_t>& items) {
    if (items.size() < kItems) {
        return std::nullopt;
    }
    const uint32_t flags = items[0];
    SizeHints hints;
    hints.increment = QSize(1, 1);
    if (flags & kMinSize) {
        hints.minimum = pair(items, kMin);
    }
    if (flags & kMaxSize) {
        hints.maximum = pair(items, kMax);
    }
    if (flags & kResizeInc) {
        hints.increment = pair(items, kInc).expandedTo(QSize(1, 1));
    }
    // Each of base and minimum stands in for the other where only one is given.
    if (flags & kBaseSize) {
        hints.base = pair(items, kBase);
        if (!(flags & kMinSize)) {
            hints.minimum = hints.base;
        }
    } else {
        hints.base = hints.minimum;
    }
    // A maximum below the minimum is no maximum.
    if (hints.maximum.width() < hints.minimum.width()) {
        hints.maximum.setWidth(0);
    }
    if (hints.maximum.height() < hints.minimum.height()) {
        hints.maximum.setHeight(0);
    }
    return hints;
}

QSize fitToSizeHints(QSize wanted, const SizeHints& hints) {
    return QSize(fit(wanted.width(), hints.minimum.width(), hints.maximum.width(),
                     hints.base.width(), hints.increment.width()),
                 fit(wanted.height(), hints.minimum.height(), hints.maximum.height(),
                     hints.base.height(), hints.increment.height()));
}

}  // namespace tessora::x11
