#pragma once

#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessora::x11 {

// The sizes a client says it can take (ICCCM WM_NORMAL_HINTS): a window manager is asked to
// keep to them, and most do, but not all (fluxbox and icewm give some clients any size asked).
// A size written here keeps to them whatever the window manager does, so the size read back is
// the client's own answer on every desktop.
struct SizeHints {
    QSize minimum;    // 0 where none is given
    QSize maximum;    // 0 where none is given
    QSize base;       // what the increments count from
    QSize increment;  // 1 where none is given
};

// The hints in a WM_NORMAL_HINTS property of 32-bit items; absent when it is too short. Values
// are another client's: each is held to 0..32767.
std::optional<SizeHints> parseSizeHints(const std::vector<uint32_t>& items);

// The largest size not above `wanted` that the hints allow (the minimum wins over the wish).
QSize fitToSizeHints(QSize wanted, const SizeHints& hints);

}  // namespace tessora::x11
