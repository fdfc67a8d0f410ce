#include "workspace/WindowLayout.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

std::vector<UnitRect> regionsOf(const char* id) {
    return layoutWithID(id)->regions;
}

void expectFrames(const std::vector<WindowRect>& actual, const std::vector<WindowRect>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-9) << "frame " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-9) << "frame " << i;
        EXPECT_NEAR(actual[i].width, expected[i].width, 1e-9) << "frame " << i;
        EXPECT_NEAR(actual[i].height, expected[i].height, 1e-9) << "frame " << i;
    }
}

TEST(LayoutCatalog, TableOrderLookupAndSearch) {
    QStringList ids;
    for (const WindowLayout& layout : builtInLayouts()) {
        ids << layout.id;
        EXPECT_FALSE(layout.regions.empty());
        // Every region that reaches the far edge does so exactly, so edge tests are exact.
        for (const UnitRect& r : layout.regions) {
            EXPECT_TRUE(r.x + r.width <= 1.0 && r.y + r.height <= 1.0);
        }
    }
    EXPECT_EQ(ids, QStringList({"focus", "monarch", "mirror", "dominant", "triad", "triad-right",
                                "quadra", "ribbon"}));
    EXPECT_EQ(layoutWithID("ribbon")->name, "Chain");
    EXPECT_FALSE(layoutWithID("Ribbon").has_value());
    EXPECT_FALSE(layoutWithID("").has_value());
    EXPECT_TRUE(regionsOf("dominant")[1].touchesRight());

    auto matching = [](const QString& query) {
        QStringList names;
        for (const WindowLayout& layout : builtInLayouts()) {
            if (matchesLayoutQuery(layout, query)) {
                names << layout.name;
            }
        }
        return names;
    };
    EXPECT_EQ(matching("  tri \n"), QStringList({"Triad", "Triad Right"}));
    EXPECT_EQ(matching("CHAIN"), QStringList({"Chain"}));
    EXPECT_EQ(matching("2"), QStringList({"Mirror", "Dominant", "Chain"}));
    EXPECT_EQ(matching("4"), QStringList({"Quadra"}));
    EXPECT_TRUE(matching("5").isEmpty());
    EXPECT_EQ(matching("").size(), 8);
    EXPECT_EQ(matching(" \t ").size(), 8);
}

TEST(PlainFrames, WorkedExamples) {
    const WindowRect screen{0, 25, 1440, 875};
    EXPECT_TRUE(frames(0, regionsOf("quadra"), screen, 24).empty());
    EXPECT_TRUE(frames(3, {}, screen, 0).empty());
    expectFrames(frames(1, regionsOf("monarch"), screen, 24), {screen});
    expectFrames(frames(1, regionsOf("focus"), {0, 0, 1000, 1000}, 24), {{152, 132, 696, 736}});
    expectFrames(frames(2, regionsOf("mirror"), screen, 24),
                 {{0, 25, 708, 875}, {732, 25, 708, 875}});
    expectFrames(frames(2, regionsOf("quadra"), {0, 0, 1000, 800}, 0),
                 {{0, 0, 500, 400}, {500, 0, 500, 400}});
    // Extra windows share the last region; the dominant layout's right column reaches the
    // edge exactly, without a right inset.
    EXPECT_EQ(frames(3, regionsOf("mirror"), {0, 0, 1000, 500}, 24),
              (std::vector<WindowRect>{{0, 0, 488, 500}, {512, 0, 488, 500}, {512, 0, 488, 500}}));
    EXPECT_EQ(frames(2, regionsOf("dominant"), {100, 0, 900, 600}, 24),
              (std::vector<WindowRect>{{100, 0, 588, 600}, {712, 0, 288, 600}}));
}

TEST(MinimumSizeFrames, MirrorWorkedExampleAndFallbacks) {
    expectFrames(frames(2, regionsOf("mirror"), {0, 25, 1440, 875}, 24, {{0, {900, 100}}}),
                 {{0, 25, 900, 875}, {924, 25, 516, 875}});

    const WindowRect screen{0, 0, 1200, 800};
    const auto plain = frames(2, regionsOf("mirror"), screen, 24);
    // No minimums, or a one-region layout.
    EXPECT_EQ(frames(2, regionsOf("mirror"), screen, 24, {}), plain);
    EXPECT_EQ(frames(2, regionsOf("monarch"), screen, 24, {{0, {5000, 5000}}}),
              frames(2, regionsOf("monarch"), screen, 24));
    // Minimums that together reach the width cannot be met: proportions are kept.
    EXPECT_EQ(frames(2, regionsOf("mirror"), screen, 24, {{0, {700, 0}}, {1, {500, 0}}}), plain);
    // Minimums that already fit change nothing.
    EXPECT_EQ(frames(2, regionsOf("mirror"), screen, 24, {{0, {300, 300}}}), plain);
}

TEST(MinimumSizeFrames, TriadWideColumnAndStackedRow) {
    const WindowRect screen{0, 0, 1000, 800};
    // The big left column needs 800 + 12; its height minimum adds nothing (it spans both rows).
    const auto result = frames(3, regionsOf("triad"), screen, 24, {{0, {800, 780}}});
    ASSERT_EQ(result.size(), 3u);
    EXPECT_DOUBLE_EQ(result[0].width, 800);
    EXPECT_DOUBLE_EQ(result[0].height, 800);
    EXPECT_DOUBLE_EQ(result[1].x, 824);
    EXPECT_DOUBLE_EQ(result[1].maxX(), 1000);
    EXPECT_DOUBLE_EQ(result[1].height, 400 - 12);  // rows unchanged
    EXPECT_EQ(result[1].x, result[2].x);

    // Slots past the last region take the last region's minimums into account.
    const auto stacked = frames(4, regionsOf("triad"), {0, 0, 1000, 1000}, 0, {{3, {100, 700}}});
    EXPECT_DOUBLE_EQ(stacked[2].height, 700);
    EXPECT_DOUBLE_EQ(stacked[1].height, 300);
    EXPECT_EQ(stacked[2], stacked[3]);
}

TEST(EdgeRedistribution, SharesLeftoverByRoomAboveMinimum) {
    // Spans of 300, 300, 400 points; the first needs 500. Leftover 500 is shared by the
    // other two in proportion to their room (300 and 400).
    const auto shared = redistributeEdges({0.0, 0.3, 0.6, 1.0}, {500, 0, 0}, 1000);
    ASSERT_EQ(shared.size(), 4u);
    EXPECT_DOUBLE_EQ(shared[0], 0.0);
    EXPECT_DOUBLE_EQ(shared[1], 0.5);
    EXPECT_NEAR(shared[2], 0.5 + 500.0 * 300 / 700 / 1000, 1e-12);
    EXPECT_EQ(shared[3], 1.0);

    const std::vector<double> edges{0.0, 0.5, 1.0};
    EXPECT_EQ(redistributeEdges({}, {}, 100), std::vector<double>{});
    EXPECT_EQ(redistributeEdges({0.0}, {}, 100), std::vector<double>{0.0});
    EXPECT_EQ(redistributeEdges(edges, {10, 10}, 100), edges);  // nothing short
    EXPECT_EQ(redistributeEdges(edges, {60, 40}, 100), edges);  // sum reaches the total
    EXPECT_EQ(redistributeEdges(edges, {60, 50}, 100), edges);  // no room to give
    EXPECT_EQ(redistributeEdges(edges, {60}, 100), edges);      // mismatched minimums
}

}  // namespace
}  // namespace tessora
