#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tessora::x11 {

// The managed clients bottom to top, from the window manager's two lists as read together:
// _NET_CLIENT_LIST_STACKING gives the order of what it lists, _NET_CLIENT_LIST says which
// windows are managed. Window managers keep the two apart in their own ways (one leaves the
// stacking list out while a single window exists, others update it later than the client
// list), so neither is trusted alone: the stacked windows that are still managed keep their
// order, and managed windows the stacking list misses go on top, in client-list order (the
// newest last), as newly mapped windows do. Each window appears once. Absent when neither list
// could be read.
std::optional<std::vector<uint32_t>> stackedClients(
    const std::optional<std::vector<uint32_t>>& stacking,
    const std::optional<std::vector<uint32_t>>& clients);

}  // namespace tessora::x11
