#include <gtest/gtest.h>

#include "detector/ControllerSelection.h"

namespace {

constexpr ActiveController K = ActiveController::Keep;
constexpr ActiveController T = ActiveController::Mtp;
constexpr ActiveController M = ActiveController::MassStorage;

}  // namespace

TEST(ControllerSelectionTest, EveryRowOfTheChoice) {
    // m and s are the two FindDevice results (0 and 5 stand for "not 1 to 4"); k the kind so far.
    const struct {
        int m, s, k;
        ActiveController controller;
        int kind, result;
    } rows[] = {
        {1, 1, 0, T, 1, 1}, {1, 0, 2, T, 1, 1}, {1, 5, 2, T, 1, 1},
        {1, 2, 0, T, 1, 2},
        {1, 3, 2, K, 2, 3}, {1, 4, 0, K, 0, 3},
        {2, 0, 2, T, 1, 2}, {2, 4, 2, T, 1, 2},
        {3, 1, 2, K, 2, 3}, {3, 0, 0, K, 0, 3},
        {4, 1, 1, K, 1, 3}, {4, 2, 1, K, 1, 3}, {4, 3, 1, K, 1, 3},
        {4, 4, 2, K, 2, 4},
        {4, 0, 2, T, 1, 2}, {4, 0, 1, K, 1, 4}, {4, 5, 0, K, 0, 4},
        {0, 1, 1, M, 2, 1}, {5, 1, 0, M, 2, 1},
        {0, 2, 1, M, 2, 2},
        {0, 3, 1, M, 2, 2}, {0, 3, 2, K, 2, 3}, {0, 3, 0, K, 0, 3},
        {0, 4, 1, M, 2, 2}, {0, 4, 2, K, 2, 4},
        {0, 0, 1, K, 0, 0}, {0, 0, 2, K, 0, 0}, {5, 5, 0, K, 0, 0},
    };
    for (const auto& row : rows) {
        const ControllerChoice choice = ChooseController(row.m, row.s, row.k);
        EXPECT_EQ(row.controller, choice.controller) << row.m << " " << row.s << " " << row.k;
        EXPECT_EQ(row.kind, choice.kind) << row.m << " " << row.s << " " << row.k;
        EXPECT_EQ(row.result, choice.result) << row.m << " " << row.s << " " << row.k;
    }
}
