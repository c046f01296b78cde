#pragma once
// Pieces the card steps share: the live click, the replay of both players, the
// demonstration sweep and the peer's card actions. Each step keeps what is its own (which
// items come back, who keeps the turn, what is counted); only the common part lives here.
#include <cstdint>
#include <string>

#include "game/zwiunit1.h"
#include "platform/app.h"

namespace game {

// Lets the loop deliver what waits (paints, ticks, the peer's lines) in the middle of a step.
inline void pump() { plat::Application::processMessages(); }

std::string pictureName(std::int32_t picture);

// Cards whose picture shows, plus the found cards (not yet cleared) of the sides asked for.
int showingCount(const TForm1& f, bool withMine, bool withOpponent);

// Both cards of a pair leave the board as found by one side, picture up. A place off the
// board (only a damaged record holds one) is skipped.
void markPairFound(TForm1& f, std::int32_t a, std::int32_t b, bool mine);

// The card turned or covered becomes the side's last one, the one a pair is matched with.
void rememberCard(TForm1& f, std::int32_t position, bool mine);

// After a pair the side starts its next try from nothing.
void forgetLastCard(TForm1& f, bool mine);

// This side covers a card; its second cover ends the try.
void countMyCover(TForm1& f);

// A card is turned up; true for the second of a try. Only `refuseMore` refuses further
// turn-ups: player 2's replay and the sweep go on turning.
bool countTurnUp(TForm1& f, bool refuseMore);

// The try's counts and guards go back to nothing; who may click next is the caller's call.
void clearTurn(TForm1& f);

// The items that start a new game: Start1, the card sets, Solo1, AutomaticClear1, Button1.
void enableNewGameItems(TForm1& f);

// The last pair is found: the table is free again and a new game can be started.
void endGame(TForm1& f);

}  // namespace game
