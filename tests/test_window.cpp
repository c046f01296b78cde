// The main window as its description lays it out, and the state start-up leaves.
#include <gtest/gtest.h>

#include <string>

#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/probe.h"
#include "platform/resources.h"

using game::TForm1;

namespace {

game::FormOptions quiet() { return game::FormOptions{false, 0, false}; }

struct MenuRow {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled, checked, autoCheck;
};

void expectMenu(TForm1& f, const MenuRow& r) {
    SCOPED_TRACE(r.name);
    plat::MenuItem* it = f.findMenuItem(r.name);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->caption(), r.caption);
    EXPECT_EQ(it->shortcut(), r.shortcut);
    EXPECT_EQ(it->enabled(), r.enabled);
    EXPECT_EQ(it->checked(), r.checked);
    EXPECT_EQ(it->autoCheck, r.autoCheck);
}

const MenuRow kCommonMenu[] = {
    {"OpenChatexe1", "&Open Chatten", "F3", true, false, false},
    {"Load1", "&Laden", "Ctrl+L", true, false, false},
    {"Save1", "&Opslaan", "F4", false, false, false},
    {"Connect1", "&Verbinden...", "Ctrl+V", true, false, false},
    {"Disconnect1", "Verbinding Ver&breken", "", true, false, false},
    {"Exit1", "&Afsluiten", "", true, false, false},
    {"Solo1", "Alleen", "F1", true, false, true},
    {"AutomaticClear1", "Automatisch Opruimen", "F2", true, true, true},
    {"Start1", "&Start Nieuw Spel", "Ctrl+S", true, false, false},
    {"Send1", "Zend", "", false, false, false},
    {"ShowDemo1", "laat &Demo zien", "Ctrl+D", true, false, false},
    {"Replay1", "&Terugspelen", "Ctrl+T", false, false, false},
    {"HallOfFame1", "Beste Spelers", "", true, false, false},
    {"clicks1", "aantal klikken", "", true, false, false},
    {"time1", "tijd", "", true, false, false},
    {"ShowHint1", "Hint", "", true, true, true},
    {"About1", "&Over Zwirlo", "", true, false, false},
};

}  // namespace

TEST(Window, Zwirlo60LayoutAndMenus) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    EXPECT_EQ(f.clientWidth(), 1121);
    EXPECT_EQ(f.clientHeight(), 712);
    EXPECT_EQ(f.caption().rfind("Zwirlo-60: Dieren ", 0), 0u);
    ASSERT_EQ(f.images.size(), 60u);
    for (int p : {0, 9, 10, 37, 59}) {
        SCOPED_TRACE(p);
        plat::Image* img = f.images[static_cast<std::size_t>(p)];
        EXPECT_EQ(img->tag, p);
        EXPECT_EQ(img->left(), 8 + 111 * (p % 10));
        EXPECT_EQ(img->top(), 8 + 111 * (p / 10));
        EXPECT_EQ(img->name(), "Image" + std::to_string(p + 1));
    }
    struct {
        plat::Label* l;
        int left;
        const char* caption;
        bool visible;
    } labels[] = {{f.Label7, 232, "Tijd:", false},    {f.Label5, 311, "0", false},
                  {f.Label8, 356, "seconden", false}, {f.Label1, 515, "Score:", true},
                  {f.Label2, 700, "0", true},         {f.Label3, 725, "Tegenspeler:", true},
                  {f.Label4, 910, "0", true}};
    for (auto& l : labels) {
        SCOPED_TRACE(l.caption);
        EXPECT_EQ(l.l->left(), l.left);
        EXPECT_EQ(l.l->top(), 681);
        EXPECT_EQ(l.l->caption(), l.caption);
        EXPECT_EQ(l.l->visible(), l.visible);
    }
    EXPECT_EQ(f.SpeedButton1->left(), 8);
    EXPECT_EQ(f.BitBtn1->caption(), "Geen Verbinding");
    EXPECT_EQ(f.BitBtn1->kind(), plat::BitBtn::bkNo);
    EXPECT_EQ(f.Button1->caption(), "Start Spel");
    EXPECT_EQ(f.Button1->left(), 156);
    EXPECT_FALSE(f.Button2->visible());
    EXPECT_FALSE(f.ListBox1->visible());
    EXPECT_FALSE(f.ListBox2->visible());
    EXPECT_EQ(f.ListBox1->left(), 341);
    EXPECT_EQ(f.ListBox2->width(), 134);
    for (auto* t : {f.Timer1, f.Timer2, f.Timer3, f.Timer4, f.Timer5}) EXPECT_FALSE(t->enabled());
    EXPECT_EQ(f.Timer2->interval(), 108);
    EXPECT_EQ(f.Timer4->interval(), 1000);

    for (const auto& row : kCommonMenu) expectMenu(f, row);
    expectMenu(f, {"changeinterval1", "Interval Veranderen", "Ctrl+I", true, false, false});
    expectMenu(f, {"animals1", "dieren", "", true, true, false});
    expectMenu(f, {"birds1", "europese vogels", "", true, false, false});
    ASSERT_EQ(f.menus().size(), 3u);
    EXPECT_EQ(f.menus()[0]->caption(), "&Bestand");
    EXPECT_EQ(f.menus()[1]->caption(), "&Spelen");
    EXPECT_EQ(f.menus()[2]->caption(), "&Help");
    // "Zend" and "&Verbinden..." carry no handler in zwirlo60.
    EXPECT_FALSE(f.Connect1->onClick);
    EXPECT_FALSE(f.Send1->onClick);
}

TEST(Window, Zwirlo3LayoutAndMenus) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    EXPECT_EQ(f.clientWidth(), 905);
    EXPECT_EQ(f.clientHeight(), 707);
    ASSERT_EQ(f.images.size(), 48u);
    const int cols[] = {8, 119, 232, 343, 456, 567, 680, 791};
    const int rows[] = {8, 119, 230, 341, 454, 565};
    for (int p = 0; p < 48; ++p) {
        plat::Image* img = f.images[static_cast<std::size_t>(p)];
        EXPECT_EQ(img->left(), cols[p % 8]) << p;
        EXPECT_EQ(img->top(), rows[p / 8]) << p;
    }
    EXPECT_EQ(f.images[47]->name(), "Image58");
    EXPECT_EQ(f.Label2->left(), 656);
    EXPECT_EQ(f.Label4->top(), 676);
    EXPECT_EQ(f.Button2->left(), 567);
    EXPECT_EQ(f.ListBox1->left(), 287);
    EXPECT_EQ(f.ListBox2->width(), 144);
    for (const auto& row : kCommonMenu) expectMenu(f, row);
    expectMenu(f, {"changeinterval1", "&Interval Veranderen", "Ctrl+I", true, false, false});
    EXPECT_EQ(f.findMenuItem("animals1"), nullptr);
    EXPECT_EQ(f.findMenuItem("birds1"), nullptr);
    EXPECT_TRUE(f.Connect1->onClick);
    EXPECT_TRUE(f.Send1->onClick);
}

TEST(Window, StartUpState) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        plat::DialogScript::clear();
        TForm1 f(*v, quiet());
        SCOPED_TRACE(v->formName);
        EXPECT_EQ(ZwiUnit1::Form1, &f);
        EXPECT_TRUE(plat::DialogScript::messages().empty());
        EXPECT_EQ(f.delayInterval, 1000);
        EXPECT_TRUE(f.hofVisible);
        EXPECT_FALSE(f.closeRequested);
        EXPECT_FALSE(f.replayRunning);
        EXPECT_FALSE(f.restartRecording);
        EXPECT_TRUE(ZwiUnit1::clicksBlocked);
        EXPECT_FALSE(ZwiUnit1::clickBusy);
        EXPECT_FALSE(ZwiUnit1::connected);
        EXPECT_FALSE(ZwiUnit1::sendPending);
        EXPECT_EQ(f.color(), 0xF0F0F0u);
        EXPECT_EQ(f.logLength, 0);
        for (int p = 0; p < f.N; ++p) {
            EXPECT_EQ(f.board[static_cast<std::size_t>(p)], 0);
            EXPECT_FALSE(f.faceDown[static_cast<std::size_t>(p)]);
        }
        if (!v->zwirlo3) {
            EXPECT_NE(f.pictureLibrary, 0u);
        }
    }
    // The unit's start-up step keeps "yourscore" once the resources are installed.
    ZwiUnit1::initialization();
    EXPECT_NE(ZwiUnit1::yourScoreWave, nullptr);
}

TEST(Window, MissingPictureLibraryStopsTheCreateHandler) {
    plat::DialogScript::clear();
    ZwiUnit1::clicksBlocked = false;
    plat::setLibrariesHidden(true);
    TForm1 f(game::zwirlo60Variant(), quiet());
    plat::setLibrariesHidden(false);
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"LoadLibrary mislukt!"});
    EXPECT_EQ(f.pictureLibrary, 0u);
    EXPECT_EQ(f.delayInterval, 0);
    EXPECT_FALSE(f.hofVisible);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.FileListenItem->checked());
    EXPECT_EQ(f.color(), plat::clBtnFace);
    // Cards drawn from module 0 show nothing.
    f.PaintCard(3, "card");
    EXPECT_EQ(f.images[3]->width(), 0);
    EXPECT_EQ(f.images[3]->height(), 0);
}

TEST(Window, ClickOnWindowOrListHidesBothLists) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    for (plat::Handler click : {f.onClick, f.ListBox1->onClick, f.ListBox2->onClick}) {
        f.ListBox1->setVisible(true);
        f.ListBox2->setVisible(true);
        ASSERT_TRUE(click);
        click();
        EXPECT_FALSE(f.ListBox1->visible());
        EXPECT_FALSE(f.ListBox2->visible());
    }
}

TEST(Window, AboutBoxPerProgram) {
    game::TAboutBox a(game::zwirlo60Variant());
    EXPECT_EQ(a.caption(), "Over dit spel");
    EXPECT_EQ(a.clientWidth(), 298);
    EXPECT_EQ(a.ProductName->caption(), "Zwirlo-60: Dieren");
    EXPECT_EQ(a.Version->caption(), "Versie 14.15.2.2");
    EXPECT_EQ(a.OKButton->caption(), "OK");
    EXPECT_EQ(a.OKButton->modalResult, 1);
    // Inside the panel at (8, 8): the icon stretched over its bounds, not its own 64 x 64,
    // and the comments wrapped in theirs, not shrunk to one line of text.
    EXPECT_EQ(a.ProgramIcon->left(), 16);
    EXPECT_EQ(a.ProgramIcon->top(), 16);
    EXPECT_EQ(a.ProgramIcon->width(), 65);
    EXPECT_EQ(a.ProgramIcon->height(), 57);
    EXPECT_EQ(a.Comments->left(), 16);
    EXPECT_EQ(a.Comments->top(), 107);
    EXPECT_EQ(a.Comments->width(), 216);
    EXPECT_EQ(a.Comments->height(), 39);
    EXPECT_EQ(a.ProductName->left(), 99);
    EXPECT_EQ(a.Version->top(), 43);
    EXPECT_EQ(a.Copyright->top(), 88);
    game::TAboutBox b(game::zwirlo3Variant());
    EXPECT_EQ(b.ProductName->caption(), "Zwirlo: Grieks Alfabet");
    EXPECT_EQ(b.Version->caption(), "Versie 16.91.2.2");
}

// The first key goes to "Start Spel"; the connect glyph button never takes the focus.
TEST(Window, SpaceOrEnterAtStartUpStartsAGame) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        for (bool space : {true, false}) {
            SCOPED_TRACE(v->formName);
            TForm1 f(*v, quiet());
            f.show();
            plat::probe::activate(f);
            EXPECT_EQ(plat::probe::focusedControl(f), f.Button1);
            // Tab goes round the two buttons that can take the focus.
            plat::probe::pressKey(f, "Tab");
            EXPECT_EQ(plat::probe::focusedControl(f), f.BitBtn1);
            plat::probe::pressKey(f, "Tab");
            EXPECT_EQ(plat::probe::focusedControl(f), f.Button1);
            // Two players at one machine: the new game asks for the first name.
            plat::DialogScript::clear();
            if (space)
                plat::probe::pressKey(f, "Space");
            else
                plat::probe::pressEnter(f);
            ASSERT_FALSE(plat::DialogScript::shown().empty());
            EXPECT_EQ(plat::DialogScript::shown()[0].caption, "Wat is je naam?");
            f.hide();
        }
    }
}

// Cards and the other controls keep their place; in zwirlo60 the score labels and
// "Start Spel" keep their centres at the same relative place in the client area.
TEST(Window, ResizeMovesOnlyTheUnanchoredControls) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        SCOPED_TRACE(v->formName);
        TForm1 f(*v, quiet());
        f.show();
        const int w = f.clientWidth(), h = f.clientHeight();
        plat::Control* sample[] = {f.images.back(), f.BitBtn1, f.Label1, f.Label4, f.Button1};
        struct Place {
            int left, top;
        } designed[std::size(sample)];
        for (std::size_t i = 0; i < std::size(sample); ++i)
            designed[i] = {sample[i]->left(), sample[i]->top()};

        f.setClientSize(2 * w, 2 * h);
        plat::Application::processMessages();
        EXPECT_EQ(f.clientWidth(), 2 * w);
        EXPECT_EQ(f.clientHeight(), 2 * h);
        for (std::size_t i = 0; i < std::size(sample); ++i) {
            plat::Control* c = sample[i];
            SCOPED_TRACE(c->name());
            bool centred = !v->zwirlo3 && i >= 2;
            int cw = c->width() / 2, ch = c->height() / 2;
            EXPECT_EQ(c->left(), centred ? 2 * (designed[i].left + cw) - cw : designed[i].left);
            EXPECT_EQ(c->top(), centred ? 2 * (designed[i].top + ch) - ch : designed[i].top);
        }

        f.setClientSize(w, h);
        plat::Application::processMessages();
        for (std::size_t i = 0; i < std::size(sample); ++i) {
            EXPECT_EQ(sample[i]->left(), designed[i].left) << sample[i]->name();
            EXPECT_EQ(sample[i]->top(), designed[i].top) << sample[i]->name();
        }
        f.hide();
    }
}

TEST(Window, DeactivateDropsTheLinkOnlyWhenItRuns) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.show();
    f.BitBtn1->setKind(plat::BitBtn::bkYes);
    f.BitBtn1->setCaption("Verbonden");
    // A real message box and input dialog take the focus from the window, and that never
    // deactivates it. A timer answers each once it holds the focus (or after 5 s, failing).
    plat::DialogScript::enable(false);
    plat::Timer answer("answer");
    int focused = 0, ticks = 0;
    answer.onTimer = [&] {
        int state = plat::probe::modalDialogState();
        if (state == 0 || (state == 1 && ++ticks < 500)) return;
        focused += state == 2;
        ticks = 0;
        plat::probe::answerModalDialog();
    };
    answer.setInterval(10);
    answer.setEnabled(true);
    plat::showMessage("x");
    std::string s;
    plat::inputQuery("a", "b", s);
    answer.setEnabled(false);
    plat::DialogScript::enable(true);
    EXPECT_EQ(focused, 2);
    EXPECT_EQ(f.BitBtn1->caption(), "Verbonden");
    // When it does run, with the server off, the indicator goes back to "Geen Verbinding".
    f.FormDeactivate();
    EXPECT_EQ(f.BitBtn1->caption(), "Geen Verbinding");
    EXPECT_EQ(f.BitBtn1->kind(), plat::BitBtn::bkNo);
}

// Dialogs belong to the main window, also one asked again after the first has closed (no
// window is active then) and the error box that ends the command.
TEST(Window, DialogsOpenOverTheMainWindow) {
    plat::DialogScript::clear();
    TForm1 f(game::zwirlo60Variant(), quiet());
    plat::DialogScript::answer(true, "0");
    plat::DialogScript::answer(true, "abc");
    f.changeinterval1->click();
    const auto& shown = plat::DialogScript::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].kind, plat::DialogRecord::Message);
    for (const auto& d : shown) EXPECT_EQ(d.owner, &f);
}
