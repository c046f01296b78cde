// The handler guard, menus, timers, list boxes, images and forms on offscreen widgets.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/probe.h"
#include "platform/resources.h"

using namespace plat;

namespace {

struct Platform : ::testing::Test {
    void SetUp() override {
        DialogScript::clear();
        Application::setTitle("Zwirlo-60: Dieren");
    }
    Form form{"Form1"};
};

}  // namespace

TEST_F(Platform, GuardTurnsAnEscapingExceptionIntoTheErrorBox) {
    Application::guarded([] { throw Exception("'x' is not a valid integer value"); });
    Application::guarded([] { throw std::runtime_error("kapot"); });
    Application::guarded([] { throw 42; });
    ASSERT_EQ(DialogScript::messages().size(), 3u);
    EXPECT_EQ(DialogScript::messages()[0], "'x' is not a valid integer value");
    EXPECT_EQ(DialogScript::messages()[1], "kapot");
    EXPECT_FALSE(DialogScript::messages()[2].empty());
    EXPECT_EQ(DialogScript::shown()[0].caption, "Zwirlo-60: Dieren");

    // Events from the toolkit run inside it too.
    Button& b = *new Button(form, "Button1");
    b.onClick = [] { throw Exception("in een klik"); };
    probe::mouseClick(b);
    EXPECT_EQ(DialogScript::messages().back(), "in een klik");
    delete &b;
}

TEST_F(Platform, MenuItemsCheckThenRunAndOurStateDecides) {
    MenuItem& menu = form.addMenu("Spelen1", "&Spelen");
    MenuItem& solo = menu.add("Solo1", "Alleen");
    menu.addSeparator();
    MenuItem& save = menu.add("Save1", "&Opslaan");
    MenuItem& sub = menu.add("HallOfFame1", "Beste Spelers");
    MenuItem& clicks = sub.add("clicks1", "aantal klikken");
    EXPECT_EQ(form.findMenuItem("clicks1"), &clicks);
    EXPECT_EQ(form.findMenuItem("nothing"), nullptr);
    EXPECT_TRUE(menu.items()[1]->isSeparator());

    solo.autoCheck = true;
    std::vector<bool> seen;
    solo.onClick = [&] { seen.push_back(solo.checked()); };
    probe::triggerMenu(solo);  // through the toolkit, which toggles checkables itself
    probe::triggerMenu(solo);
    solo.click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(probe::shownChecked(solo));

    // Not AutoCheck: a checked item stays checked when chosen.
    clicks.setChecked(true);
    probe::triggerMenu(clicks);
    EXPECT_TRUE(clicks.checked());
    EXPECT_TRUE(probe::shownChecked(clicks));

    int runs = 0;
    save.onClick = [&] { ++runs; };
    save.setEnabled(false);
    save.autoCheck = true;
    save.click();
    probe::triggerMenu(save);
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(save.checked());
    save.setEnabled(true);
    save.autoCheck = false;
    save.click();
    EXPECT_EQ(runs, 1);

    // Without a handler AutoCheck still flips.
    MenuItem& hint = form.addMenu("Help1", "&Help").add("ShowHint1", "Hint");
    hint.autoCheck = true;
    hint.click();
    EXPECT_TRUE(hint.checked());
    hint.setCaption("H&int");
    EXPECT_EQ(probe::shownCaption(hint), "H&int");
}

TEST_F(Platform, TimerKeepsItsCountUnlessItReallyChanges) {
    Timer t("Timer3");
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    unsigned runs = probe::timerRuns(t);
    t.setEnabled(true);
    EXPECT_EQ(probe::timerRuns(t), runs + 1);
    t.setEnabled(true);   // same value: the count goes on
    t.setInterval(1000);  // same interval: likewise
    EXPECT_EQ(probe::timerRuns(t), runs + 1);
    t.setInterval(500);  // new interval on a running timer restarts it
    EXPECT_EQ(probe::timerRuns(t), runs + 2);
    EXPECT_EQ(t.interval(), 500);
    t.setEnabled(false);
    t.setInterval(700);  // stopped: no start
    t.setEnabled(false);
    EXPECT_EQ(probe::timerRuns(t), runs + 3);
    EXPECT_FALSE(t.enabled());
    t.fire();
    EXPECT_EQ(ticks, 1);
    t.onTimer = [] { throw std::runtime_error("tik"); };
    t.fire();
    EXPECT_EQ(DialogScript::messages(), std::vector<std::string>{"tik"});
}

TEST_F(Platform, TimerTicksArriveInsideThePumpAndNestInAPumpingHandler) {
    Timer t("Timer2");
    int depth = 0, deepest = 0, ticks = 0;
    t.onTimer = [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (depth == 1) {
            // A handler that pumps messages meets its own next tick inside it.
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (ticks < 2 && std::chrono::steady_clock::now() < until) {
                Application::processMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        --depth;
    };
    t.setInterval(5);
    t.setEnabled(true);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ticks < 2 && std::chrono::steady_clock::now() < until) {
        Application::processMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(deepest, 2);
    // A stopped or restarted timer delivers nothing more, not even a tick already queued.
    t.onTimer = [&] { ++ticks; };
    int before = ticks;
    probe::timerFallsDue(t);
    t.setEnabled(false);
    Application::processMessages();
    EXPECT_EQ(ticks, before);
    t.setEnabled(true);
    probe::timerFallsDue(t);
    t.setInterval(60000);  // a new count starts
    Application::processMessages();
    EXPECT_EQ(ticks, before);
    t.setEnabled(false);
    // Stopping is what drops it: a tick that falls due on a running timer does arrive.
    t.setEnabled(true);
    probe::timerFallsDue(t);
    Application::processMessages();
    EXPECT_EQ(ticks, before + 1);
    t.setEnabled(false);
}

TEST_F(Platform, ListBoxSortsIgnoringCaseAndSetItemKeepsTheRow) {
    ListBox list(form, "ListBox1");
    list.setItemHeight(25);
    for (const char* s : {"zandor", "Bram", "anna", "Anna", "\xC9va", "ezra", "009 klikken"})
        list.add(s);
    std::vector<std::string> want{"009 klikken", "anna", "Anna",  "Bram",
                                  "\xC9va",      "ezra", "zandor"};
    EXPECT_EQ(list.items(), want);
    list.setItem(0, "zzz");
    EXPECT_EQ(list.item(0), "zzz");
    EXPECT_EQ(list.add("b"), 3);
    EXPECT_EQ(probe::shownRows(list), 8);
    EXPECT_EQ(probe::shownRow(list, 0), "zzz");
    EXPECT_EQ(probe::shownRow(list, 5), "\xC9va");
    EXPECT_THROW(list.setItem(8, "x"), std::out_of_range);

    ListBox plain(form, "ListBox2");
    plain.sorted = false;
    plain.add("b");
    plain.add("a");
    EXPECT_EQ(plain.items(), (std::vector<std::string>{"b", "a"}));
    plain.clear();
    EXPECT_EQ(plain.count(), 0);
    EXPECT_EQ(probe::shownRows(plain), 0);

    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    probe::mouseClick(list);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Platform, ClicksReachTheRightHandlerOnlyWhenEnabled) {
    form.setClientSize(300, 200);
    int formClicks = 0, imageClicks = 0;
    form.onClick = [&] { ++formClicks; };
    Image img(form, "Image1");
    img.setBounds(10, 10, 105, 105);
    img.onClick = [&] { ++imageClicks; };
    Label label(form, "Label1");
    label.setBounds(10, 150, 50, 20);
    label.setCaption("Score:");

    probe::mouseClickForm(form, 50, 50);
    probe::mouseClick(img);
    EXPECT_EQ(imageClicks, 2);
    img.setPicture(Bitmap());  // an empty picture shrinks it to nothing
    EXPECT_EQ(img.width() + img.height(), 0);
    probe::mouseClickForm(form, 50, 50);
    probe::mouseClickForm(form, 12, 152);  // on the label: not the form's
    EXPECT_EQ(formClicks, 1);
    img.setBounds(10, 10, 105, 105);
    img.setEnabled(false);
    img.click();
    probe::mouseClick(img);
    probe::mouseClickForm(form, 50, 50);  // a disabled picture passes the click on
    EXPECT_EQ(imageClicks, 2);
    EXPECT_EQ(formClicks, 3);
    img.setEnabled(true);
    img.click();
    EXPECT_EQ(imageClicks, 3);
    EXPECT_EQ(label.left(), 10);
    EXPECT_GT(label.width(), 0);
    EXPECT_EQ(form.clientWidth(), 300);
}

TEST_F(Platform, ImageHintShowsOnlyWhileSwitchedOn) {
    Image img(form, "Image1");
    img.setHint("b\xE8ta");
    EXPECT_EQ(probe::toolTip(img), "");
    img.setShowHint(true);
    EXPECT_EQ(probe::toolTip(img), "b\xE8ta");
    img.setHint("alfa");
    EXPECT_EQ(probe::toolTip(img), "alfa");
    img.setShowHint(false);
    EXPECT_EQ(probe::toolTip(img), "");
    EXPECT_EQ(img.hint(), "alfa");
}

TEST_F(Platform, ModalFormEndsWithItsDefaultButton) {
    Form box("AboutBox");
    box.setClientSize(298, 213);
    box.setCaption("Over dit spel");
    Button ok(box, "OKButton");
    ok.setCaption("OK");
    ok.setDefault(true);
    ok.modalResult = 1;
    int pressed = 0;
    ok.onClick = [&] { ++pressed; };
    EXPECT_EQ(box.showModal(), 1);  // scripted: answered as Enter would
    EXPECT_EQ(pressed, 1);
    EXPECT_FALSE(box.showing());
    ASSERT_EQ(DialogScript::shown().size(), 1u);
    EXPECT_EQ(DialogScript::shown()[0].kind, DialogRecord::Modal);
    EXPECT_EQ(DialogScript::shown()[0].caption, "Over dit spel");
    ok.setEnabled(false);
    EXPECT_EQ(box.showModal(), 2);
    EXPECT_EQ(pressed, 1);

    // Enter in a shown form presses its default button; the close button runs onClose.
    form.show();
    Button start(form, "Button1");
    start.setDefault(true);
    start.onClick = [&] { ++pressed; };
    probe::pressEnter(form);
    EXPECT_EQ(pressed, 2);
    int closes = 0;
    form.onClose = [&] { ++closes; };
    form.close();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(form.showing());
}

TEST_F(Platform, InputQueryTakesScriptedAnswers) {
    std::string value = "127.0.0.1";
    DialogScript::answer(true, "10.0.0.2");
    EXPECT_TRUE(inputQuery("Verbinden", "Adres:", value));
    EXPECT_EQ(value, "10.0.0.2");
    DialogScript::answer(false, "ignored");
    EXPECT_FALSE(inputQuery("Verbinden", "Adres:", value));
    EXPECT_FALSE(inputQuery("Verbinden", "Adres:", value));  // nothing queued: Cancel
    EXPECT_EQ(value, "10.0.0.2");
    ASSERT_EQ(DialogScript::shown().size(), 3u);
    EXPECT_EQ(DialogScript::shown()[0].initial, "127.0.0.1");
    EXPECT_EQ(DialogScript::shown()[1].prompt, "Adres:");
    EXPECT_EQ(DialogScript::shown()[2].initial, "10.0.0.2");

    // From another thread the dialog still opens on the main thread, in turn.
    std::string fromThread = "x";
    bool ok = true;
    DialogScript::answer(true, "y");
    std::thread th([&] {
        ok = inputQuery("c", "p", fromThread);
        showMessage("klaar");
    });
    while (DialogScript::messages().empty()) Application::processMessages();
    th.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(fromThread, "y");
    messageBeep();
    EXPECT_EQ(DialogScript::shown().back().kind, DialogRecord::Beep);
}

TEST_F(Platform, ScreenshotOfTheWindow) {
    form.setClientSize(120, 80);
    form.setColor(0xF0F0F0);
    form.addMenu("File1", "&Bestand");
    form.show();
    EXPECT_TRUE(form.saveScreenshot("shot.png"));
    EXPECT_FALSE(form.saveScreenshot("/no/such/folder/shot.png"));
}
