#include "platform/x11/ClientLists.h"

#include <unordered_set>

namespace tessora::x11 {

std::optional<std::vector<uint32_t>> stackedClients(
    const std::optional<std::vector<uint32_t>>& stacking,
    const std::optional<std::vector<uint32_t>>& clients) {
    if (!stacking && !clients) {
        return std::nullopt;
    }
    const std::unordered_set<uint32_t> managed =
        clients ? std::unordered_set<uint32_t>(clients->begin(), clients->end())
                : std::unordered_set<uint32_t>{};
    std::unordered_set<uint32_t> taken;
    std::vector<uint32_t> result;
    if (stacking) {
        for (const uint32_t window : *stacking) {
            if ((!clients || managed.contains(window)) && taken.insert(window).second) {
                result.push_back(window);
            }
        }
    }
    if (clients) {
        for (const uint32_t window : *clients) {
            if (taken.insert(window).second) {
                result.push_back(window);
            }
        }
    }
    return result;
}

}  // namespace tessora::x11
