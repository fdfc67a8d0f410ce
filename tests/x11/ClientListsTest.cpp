#include "platform/x11/ClientLists.h"

#include <gtest/gtest.h>

namespace tessora::x11 {
namespace {

using List = std::vector<uint32_t>;

TEST(ClientLists, TheStackingOrderForWhatItListsTheClientListForTheRest) {
    // Both complete: the stacking order.
    EXPECT_EQ(stackedClients(List{3, 1, 2}, List{1, 2, 3}), (List{3, 1, 2}));
    // Missing or empty while windows are managed: the client list, oldest at the bottom.
    EXPECT_EQ(stackedClients(std::nullopt, List{7}), (List{7}));
    EXPECT_EQ(stackedClients(List{}, List{1, 2}), (List{1, 2}));
    // Short: the windows it misses go on top, in client-list order.
    EXPECT_EQ(stackedClients(List{2}, List{1, 2, 3}), (List{2, 1, 3}));
    // Windows no longer managed and repeated entries are dropped.
    EXPECT_EQ(stackedClients(List{9, 1, 1, 2}, List{2, 1, 2}), (List{1, 2}));
    // Without a client list the stacking list is all there is; with neither, nothing is known.
    EXPECT_EQ(stackedClients(List{4, 5, 4}, std::nullopt), (List{4, 5}));
    EXPECT_EQ(stackedClients(std::nullopt, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace tessora::x11
