// Card names, drawing cards from the picture module, hints, and switching card sets.
#include <gtest/gtest.h>

#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/resources.h"

using game::TForm1;

namespace {
game::FormOptions quiet() { return game::FormOptions{false, 0, false}; }
}  // namespace

TEST(CardNames, TablesAndBounds) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    EXPECT_EQ(f.FHint(1), "olifantje Faa Mai");
    EXPECT_EQ(f.FHint(60), "olifant");
    for (int bad : {0, -1, 61, 1000}) EXPECT_EQ(f.FHint(bad), "") << bad;
    f.animals1->setChecked(false);  // the check is read at every call
    EXPECT_EQ(f.FHint(24), "ooievaar");
    EXPECT_EQ(f.FHint(44), "ooievaar");
    EXPECT_EQ(f.FHint(60), "bonte kraai");

    TForm1 g(game::zwirlo3Variant(), quiet());
    EXPECT_EQ(g.FHint(2), "b\xE8ta");
    EXPECT_EQ(g.FHint(31), "\xC8ta");
    EXPECT_EQ(g.FHint(48), "Omega");
    EXPECT_EQ(g.FHint(49), "");
    for (const auto* set : {&game::animalsSet(), &game::birdsSet(), &game::greekSet()})
        for (int p = 1; p <= set->cardCount; ++p) EXPECT_FALSE(game::cardName(*set, p).empty());
}

TEST(CardNames, HintFollowsTheBoardAndTheHintItem) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    f.board[5] = 25;
    f.SetCardHint(5);
    EXPECT_EQ(f.images[5]->hint(), "Alfa");
    EXPECT_TRUE(f.images[5]->showHint());
    // Unchecking "Hint" hides every hint; checking it again gives them back to the cards
    // that show a picture only, with the names they had.
    f.board[6] = 2;
    f.SetCardHint(6);
    f.faceDown[5] = false;
    f.faceDown[6] = true;
    f.ShowHint1->click();
    EXPECT_FALSE(f.ShowHint1->checked());
    EXPECT_FALSE(f.images[5]->showHint());
    EXPECT_FALSE(f.images[6]->showHint());
    f.ShowHint1->click();
    EXPECT_TRUE(f.images[5]->showHint());
    EXPECT_FALSE(f.images[6]->showHint());
    EXPECT_EQ(f.images[6]->hint(), "b\xE8ta");
}

TEST(CardSets, PaintCardSizesTheImageToTheBitmap) {
    TForm1 g(game::zwirlo3Variant(), quiet());
    g.PaintCard(0, "pic1");
    EXPECT_EQ(g.images[0]->width(), 105);
    EXPECT_EQ(g.images[0]->height(), 105);
    g.PaintCard(1, "nosuchpicture");
    EXPECT_EQ(g.images[1]->width(), 0);
    // Off the board: no card is drawn.
    std::vector<std::string> shown;
    for (const plat::Image* img : g.images) shown.push_back(img->pictureName());
    g.PaintCard(-1, "card");
    g.PaintCard(48, "card");
    for (std::size_t p = 0; p < shown.size(); ++p)
        EXPECT_EQ(g.images[p]->pictureName(), shown[p]) << p;
}

TEST(CardSets, SwitchBothWaysAndBack) {
    plat::Application::setTitle("Zwirlo-60: Dieren");
    TForm1 f(game::zwirlo60Variant(), quiet());
    plat::Module animals = f.pictureLibrary;
    f.animals1->click();  // choosing the checked set switches away from it
    EXPECT_FALSE(f.animals1->checked());
    EXPECT_TRUE(f.birds1->checked());
    EXPECT_EQ(f.caption(), "Zwirlo-60: Vogels");
    EXPECT_NE(f.pictureLibrary, 0u);
    EXPECT_NE(f.pictureLibrary, animals);
    EXPECT_EQ(f.cardSet().fileNumber, 15);
    // Message boxes keep the start-up title after a switch.
    EXPECT_EQ(plat::Application::title(), "Zwirlo-60: Dieren");
    f.birds1->click();
    EXPECT_TRUE(f.animals1->checked());
    EXPECT_EQ(f.caption(), "Zwirlo-60: Dieren");
    EXPECT_EQ(f.pictureLibrary, animals);  // loading again gives the same handle
    f.animals1->click();
    f.animals1->click();
    EXPECT_EQ(f.cardSet().fileNumber, 14);
}

TEST(CardSets, SwitchToAMissingLibrary) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    plat::DialogScript::clear();
    plat::setLibrariesHidden(true);
    f.animals1->click();
    plat::setLibrariesHidden(false);
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"LoadLibrary mislukt!"});
    EXPECT_TRUE(f.birds1->checked());
    EXPECT_EQ(f.caption(), "Zwirlo-60: Vogels");
    EXPECT_EQ(f.pictureLibrary, 0u);
    f.PaintCard(0, "pic3");
    EXPECT_EQ(f.images[0]->width(), 0);
}

TEST(CardSets, SwitchReshowsVisibleListsOnly) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.clicks1->click();
    ASSERT_TRUE(f.ListBox1->visible());
    f.animals1->click();
    EXPECT_TRUE(f.ListBox1->visible());
    EXPECT_TRUE(f.hofShowsClicks);
    ASSERT_GT(f.ListBox2->count(), 0);
    EXPECT_EQ(f.ListBox2->item(0), "186 klikken");  // the bird list's seed
    f.FormClick();
    f.birds1->click();
    EXPECT_FALSE(f.ListBox1->visible());
}
