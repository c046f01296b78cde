// The deal: choosing the pictures of a game and placing each on two free places.
#include "game/deal.h"

#include <cassert>

namespace game {

void dealCards(std::int32_t n, std::int32_t pairs, const DealTarget& t,
               const std::function<std::int32_t(std::int32_t)>& draw) {
    assert(n > 0 && pairs > 0 && 2 * pairs <= n);
    assert(t.pool.size() > static_cast<std::size_t>(n) &&
           t.board.size() >= static_cast<std::size_t>(n));
    assert(t.chosen.size() > static_cast<std::size_t>(pairs));
    assert(t.faceDown.size() >= static_cast<std::size_t>(n));

    for (std::int32_t i = 1; i <= n; ++i) t.pool[i] = i;

    // Strike out `pairs` pictures; the first `pairs` of those left are this game's set. A
    // draw that hits a struck entry is simply drawn again.
    for (std::int32_t removed = 0; removed < pairs;) {
        const std::int32_t r = draw(n);
        if (t.pool[r + 1] != 0) {
            t.pool[r + 1] = 0;
            ++removed;
        }
    }

    std::int32_t k = 0;
    for (std::int32_t i = 1; i <= n && k < pairs; ++i)
        if (t.pool[i] != 0) t.chosen[++k] = t.pool[i];

    // The caller turned every place face up, so a face-down place is one already dealt.
    for (k = 1; k <= pairs; ++k) {
        for (int copy = 0; copy < 2; ++copy) {
            std::int32_t p = draw(n);
            while (t.faceDown[p]) p = draw(n);
            t.board[p] = t.chosen[k];
            if (!t.startBoard.empty()) t.startBoard[p] = t.chosen[k];
            t.faceDown[p] = true;
        }
    }
}

}  // namespace game
