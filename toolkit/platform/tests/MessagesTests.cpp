#include "toolkit/platform/Messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace VellumUI {
namespace {

// Fractions of a notch gather until a whole notch can be sent; the wheel
// delta then is a whole number of notches, so the routing, which scrolls
// once per notch, never drops the gathered movement.
TEST(WheelNotches, FractionsGatherIntoWholeNotches) {
    struct Case {
        std::vector<double> moves;
        std::vector<int> deltas;
    };
    const Case cases[] = {
        {{1, -1, 3}, {120, -120, 360}},     {{0.25, 0.25, 0.25, 0.25}, {0, 0, 0, 120}},
        {{-0.4, -0.4, -0.4}, {0, 0, -120}}, {{0.6, -0.3, 0.9}, {0, 0, 120}},
        {{2.5, 0.5}, {240, 120}},
    };
    for (const auto& c : cases) {
        double rest = 0;
        std::vector<int> deltas;
        for (double move : c.moves) {
            deltas.push_back(TakeWholeNotches(rest, move));
        }
        EXPECT_EQ(deltas, c.deltas);
    }
}

} // namespace
} // namespace VellumUI
