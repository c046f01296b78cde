#pragma once
// The order in which the demonstration turns the board over: a snake through the rows,
// even rows left to right, odd rows right to left, so each card follows its neighbour.
#include <vector>

namespace game {

// The position visited at sweep step `step` (0-based) of a board `cols` wide.
constexpr int sweepPosition(int step, int cols) {
    const int row = step / cols;
    const int offset = step % cols;
    return row % 2 == 0 ? step : row * cols + (cols - 1 - offset);
}

// Every position of a board of `cardCount` cards, in visiting order.
inline std::vector<int> sweepOrder(int cardCount, int cols) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(cardCount));
    for (int n = 0; n < cardCount; ++n) order.push_back(sweepPosition(n, cols));
    return order;
}

}  // namespace game
