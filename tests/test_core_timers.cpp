// The cover and clear ticks under re-entry and failure, the drawing lock, the solo clock
// and the interval dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "game/timerstep.h"
#include "game/zwiunit1.h"
#include "platform/dialogs.h"

using game::TForm1;

namespace {
game::FormOptions quiet() { return game::FormOptions{false, 0, false}; }
}  // namespace

// A tick arriving while the cover step pumps messages does nothing.
TEST(Timers, NestedCoverTickDoesNothing) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.hotSeat = true;
    f.playerOneToMove = true;
    f.prevPos = 3;
    f.lastClickedPos = 4;
    f.faceDown[3] = f.faceDown[4] = false;
    int ticks = 0;
    f.Timer3->onTimer = [&] {
        ++ticks;
        f.Timer3Timer();
    };
    f.Timer3->setInterval(1);
    f.Timer3->setEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // let a tick fall due
    f.Timer3Timer();
    ASSERT_GE(ticks, 1);
    EXPECT_FALSE(f.playerOneToMove);  // passed once, not back again
    EXPECT_EQ(f.logLength, 3);
    EXPECT_TRUE(f.faceDown[3] && f.faceDown[4]);
    EXPECT_FALSE(f.Timer3->enabled());
    EXPECT_FALSE(ZwiUnit1::timer3Busy);
}

TEST(Timers, ClosingStepsRunWhenAStepFails) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    bool busy = true;
    ZwiUnit1::clicksBlocked = true;
    f.Timer4->setEnabled(true);
    EXPECT_THROW(game::runTick(*f.Timer4, busy, ZwiUnit1::clicksBlocked,
                               [] { throw std::runtime_error("disk full"); }),
                 std::runtime_error);
    EXPECT_FALSE(busy);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.Timer4->enabled());
}

// A place still held by a drawing further up the same call stack cannot be waited for.
TEST(Timers, DrawingAHeldPlaceNeitherHangsNorReleasesTheHolder) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    f.images[5]->lockCanvas();
    f.DrawPlaceLocked(5, plat::Bitmap::load(f.pictureModule(), "void"));
    EXPECT_EQ(f.images[5]->pictureName(), "void");
    EXPECT_EQ(f.images[5]->canvasLocks(), 1);
    f.DrawPlaceLocked(48, plat::Bitmap());  // off the board: nothing
}

TEST(Timers, ClearStepWithFewerThanTwoMarks) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    ZwiUnit1::clicksBlocked = true;
    f.Timer4->setEnabled(true);
    f.Timer4Timer();  // nothing marked: nothing cleared or recorded
    EXPECT_EQ(f.logLength, 0);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.Timer4->enabled());

    f.foundByMe[47] = true;  // the last place, its partner already taken by a click
    f.Timer4Timer();
    EXPECT_FALSE(f.foundByMe[47]);
    EXPECT_TRUE(f.faceDown[47]);
    EXPECT_EQ(f.images[47]->pictureName(), "void");
    EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + 3), (std::vector<int>{300, 47, 47}));

    for (int p : {2, 9, 30, 41}) f.foundByMe[p] = true;  // two pairs: the lowest two go
    f.Timer4Timer();
    EXPECT_EQ(f.moveLog[4], 2);
    EXPECT_EQ(f.moveLog[5], 9);
    EXPECT_TRUE(f.foundByMe[30] && f.foundByMe[41]);
}

TEST(Timers, SoloClockCountsThenStops) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.Label5->setCaption("41");
    f.Label2->setCaption("29");
    f.Timer5->setEnabled(true);
    f.Timer5->fire();
    EXPECT_TRUE(f.Timer5->enabled());
    f.Label2->setCaption("30");
    f.Timer5->fire();
    EXPECT_EQ(f.Label5->caption(), "43");
    EXPECT_FALSE(f.Timer5->enabled());
}

TEST(Timers, IntervalDialog) {
    plat::DialogScript::clear();
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.delayInterval = 1000;
    for (const char* a : {"0", "-5", "250"}) plat::DialogScript::answer(true, a);
    f.changeinterval1->click();
    EXPECT_EQ(f.delayInterval, 250);
    EXPECT_EQ(f.Timer1->interval(), 250);
    EXPECT_EQ(f.Timer3->interval(), 250);
    EXPECT_EQ(f.Timer4->interval(), 1000);
    EXPECT_EQ(f.Timer5->interval(), 1000);
    std::vector<std::string> initial;
    for (const auto& d : plat::DialogScript::shown()) {
        if (d.kind != plat::DialogRecord::Input) continue;
        EXPECT_EQ(d.caption, "Interval Veranderen");
        EXPECT_EQ(d.prompt, "Nieuw interval ?");
        initial.push_back(d.initial);
    }
    EXPECT_EQ(initial, (std::vector<std::string>{"1000", "0", "-5"}));

    plat::DialogScript::clear();
    plat::DialogScript::answer(false, "7");  // Cancel
    plat::DialogScript::answer(true, "abc");
    plat::DialogScript::answer(true, "99999999999");
    for (int i = 0; i < 3; ++i) f.changeinterval1->click();
    EXPECT_EQ(f.delayInterval, 250);
    EXPECT_EQ(plat::DialogScript::messages(),
              (std::vector<std::string>{"'abc' is not a valid integer value",
                                        "'99999999999' is not a valid integer value"}));
}
