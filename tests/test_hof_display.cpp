// The hall-of-fame displays and the top-10 entry through the window.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "game/hof.h"
#include "game/zwiunit1.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "test_save_support.h"

namespace fs = std::filesystem;
using savetest::fileText;
using Lines = std::vector<std::string>;

namespace {

// Ten entries each, the seeds among them; the tenth places are 140 clicks and 400 seconds.
void fullLists() {
    Lines c{"134 klikken Zandor Quibbe"}, t{"303 seconden Zandor Quibbe"};
    for (int s : {131, 132, 133, 135, 136, 137, 138, 139, 140})
        c.push_back(std::to_string(s) + " klikken p" + std::to_string(s));
    for (int s = 392; s <= 400; ++s)
        t.push_back(std::to_string(s) + " seconden p" + std::to_string(s));
    plat::writeFileReplacing("hof14.dat", game::hof::joinLines(c));
    plat::writeFileReplacing("hof14b.dat", game::hof::joinLines(t));
}

class Hof : public ::testing::Test {
protected:
    void SetUp() override {
        savetest::emptyFolder();
        form = std::make_unique<game::TForm1>(game::zwirlo60Variant(),
                                              game::FormOptions{false, 0, false});
        form->hofVisible = true;  // also when the picture library is missing in this build
        plat::DialogScript::clear();
    }
    void finish(int clicks, int seconds) {
        form->SetLabelValue(form->Label2, form->P);
        form->SetLabelValue(form->Label4, clicks);
        form->SetLabelValue(form->Label5, seconds);
    }
    std::unique_ptr<game::TForm1> form;
};

TEST_F(Hof, FirstDisplayCreatesTheSeededFile) {
    form->clicks1Click();
    EXPECT_EQ(fileText("hof14.dat"), "134 klikken Zandor Quibbe\r\n");
    EXPECT_EQ(form->ListBox1->items(), Lines{"1.  Zandor Quibbe"});
    EXPECT_EQ(form->ListBox2->items(), Lines{"134 klikken"});
    EXPECT_TRUE(form->ListBox1->visible() && form->ListBox2->visible());
    EXPECT_TRUE(form->hofShowsClicks);

    form->time1Click();
    EXPECT_EQ(fileText("hof14b.dat"), "303 seconden Zandor Quibbe\r\n");
    EXPECT_EQ(form->ListBox2->items(), Lines{"303 seconden"});
    EXPECT_FALSE(form->hofShowsClicks);

    // After a switch to the birds, the list on show comes back for them.
    form->animals1->setChecked(false);
    form->HallOfFameReshow();
    EXPECT_EQ(form->ListBox2->items(), Lines{"416 seconden"});
    form->FormClick();
    fs::remove("hof15.dat");
    form->HallOfFameReshow();
    EXPECT_FALSE(fs::exists("hof15.dat"));
}

TEST_F(Hof, PaddingOrderAndTheFirstTen) {
    // The seed removed by hand, mixed line ends, equal scores, a four-digit score.
    plat::writeFileReplacing(
        "hof14.dat",
        "9 klikken bob\n9 klikken Alice\r12 klikken carl\r\n1000 klikken Zed\r\n"
        "50 klikken e\r\n51 klikken f\r\n52 klikken g\r\n53 klikken h\r\n"
        "54 klikken i\r\n55 klikken j\r\n56 klikken k\r\n");
    form->HallOfFame1Click();
    EXPECT_EQ(
        form->ListBox2->items(),
        (Lines{"0009 klikken", "0009 klikken", "0012 klikken", "0050 klikken", "0051 klikken",
               "0052 klikken", "0053 klikken", "0054 klikken", "0055 klikken", "0056 klikken"}));
    EXPECT_EQ(form->ListBox1->item(0), "1.  Alice");
    EXPECT_EQ(form->ListBox1->item(1), "2.  bob");
    EXPECT_EQ(form->ListBox1->item(9), "10.  k");
    const Lines file = game::hof::splitLines(fileText("hof14.dat"));
    ASSERT_EQ(file.size(), 12u);  // never cut, rewritten in text order with the seed back
    EXPECT_EQ(file.front(), "1000 klikken Zed");
    EXPECT_EQ(file[2], "134 klikken Zandor Quibbe");
    EXPECT_NE(fileText("hof14.dat").find("\n9 klikken Alice\r\n9 klikken bob\r\n"),
              std::string::npos);
}

TEST_F(Hof, HandEditedLinesNeverBreakTheDisplay) {
    plat::writeFileReplacing(
        "hof14.dat",
        "134 klikken Zandor Quibbe\r\ngeen score\r\n\r\nklikken zonder getal\r\n"
        "x7 klikken raar\r\n");
    form->HallOfFame1Click();
    ASSERT_EQ(form->ListBox1->count(), 5);
    EXPECT_EQ(form->ListBox2->count(), 5);  // the two columns stay row for row
    const Lines& rows = form->ListBox1->items();
    const auto at = std::find(rows.begin(), rows.end(), "5. geen score") - rows.begin();
    ASSERT_LT(at, 5);
    EXPECT_EQ(form->ListBox2->item(static_cast<int>(at)), "");

    // A tenth place that is no number sets no bar: the entry is offered.
    finish(999, 999);
    plat::DialogScript::answer(true, "Jo");
    form->TopTenEntry();
    EXPECT_NE(fileText("hof14.dat").find("999 klikken Jo\r\n"), std::string::npos);
}

TEST_F(Hof, OfferRules) {
    fullLists();
    const std::string clicks = fileText("hof14.dat");
    finish(150, 500);
    form->ListBox1->setVisible(false);
    form->ListBox2->setVisible(false);
    form->TopTenEntry();
    EXPECT_TRUE(plat::DialogScript::shown().empty());
    EXPECT_TRUE(form->hofVisible);
    EXPECT_FALSE(form->ListBox1->visible());  // silent when not offered
    EXPECT_EQ(fileText("hof14.dat"), clicks);

    finish(140, 500);  // a tie with the tenth place qualifies
    plat::DialogScript::answer(true, "Winnaar");
    form->TopTenEntry();
    ASSERT_EQ(plat::DialogScript::shown().size(), 1u);
    EXPECT_NE(fileText("hof14.dat").find("140 klikken Winnaar\r\n"), std::string::npos);
    EXPECT_NE(fileText("hof14b.dat").find("500 seconden Winnaar\r\n"), std::string::npos);
    EXPECT_TRUE(form->ListBox1->visible() && form->hofShowsClicks);
    EXPECT_EQ(form->ListBox1->count(), 10);

    // A time list shorter than ten offers the entry however poor the game.
    ASSERT_EQ(plat::writeFileReplacing("hof14b.dat", "303 seconden Zandor Quibbe\r\n"), 0);
    plat::DialogScript::clear();
    finish(9999, 9999);
    form->TopTenEntry();
    EXPECT_EQ(plat::DialogScript::shown().size(), 1u);
    // Cancelled at once: the name is empty.
    EXPECT_NE(fileText("hof14.dat").find("9999 klikken \r\n"), std::string::npos);
}

TEST_F(Hof, NameDialogRules) {
    finish(60, 70);
    plat::DialogScript::answer(true, "J");
    plat::DialogScript::answer(true, "Eenentwintig tekens!!");
    form->TopTenEntry();  // then Cancel: the last text given with OK stands
    const auto& shown = plat::DialogScript::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "Je bent een Top10-speler");
    EXPECT_EQ(shown[0].prompt, "Wat is je naam (max 20 tekens)?");
    EXPECT_EQ(shown[0].initial, "");
    EXPECT_EQ(shown[1].initial, "J");
    EXPECT_EQ(shown[2].initial, "Eenentwintig tekens!!");
    EXPECT_NE(fileText("hof14.dat").find("60 klikken Eenentwintig tekens!!\r\n"),
              std::string::npos);

    game::TForm1 g(game::zwirlo3Variant(), game::FormOptions{false, 0, false});
    plat::DialogScript::clear();
    g.SetLabelValue(g.Label4, 50);
    plat::DialogScript::answer(true, "Twintig tekens lang!");
    g.TopTenEntry();
    EXPECT_EQ(plat::DialogScript::shown().at(0).caption, "U bent een Top10-speler!");
    EXPECT_EQ(fileText("hof16.dat"),
              "120 klikken Zandor Quibbe\r\n50 klikken Twintig tekens lang!\r\n");
}

TEST_F(Hof, LineBreaksInANameKeepOneEntryPerLine) {
    finish(77, 88);
    plat::DialogScript::answer(true, "Ann\r\nBob\n");
    form->TopTenEntry();
    EXPECT_EQ(fileText("hof14.dat"), "134 klikken Zandor Quibbe\r\n77 klikken Ann  Bob \r\n");
    EXPECT_EQ(fileText("hof14b.dat"), "303 seconden Zandor Quibbe\r\n88 seconden Ann  Bob \r\n");
    EXPECT_EQ(form->ListBox1->items(), (Lines{"1.  Ann  Bob ", "2.  Zandor Quibbe"}));
}

// Two copies that end a solo game at the same moment keep both entries: each adds its line
// to the list as the other left it.
TEST_F(Hof, TwoCopiesAddingAtOnceKeepBothEntries) {
    form->clicks1Click();  // the seeded lists
    form->time1Click();
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> copies;
    for (const char* name : {"Ann", "Bob"}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char c = 0;
            (void)::read(start[0], &c, 1);  // both begin together
            // Slow between reading a list and replacing it: the other copy reads in between.
            plat::fileStepHook = [](const char* step) {
                if (std::string(step) == "create") ::usleep(200000);
                return 0;
            };
            plat::DialogScript::answer(true, name);
            finish(50, 60);
            try {
                form->TopTenEntry();
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        copies.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t pid : copies) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(fileText("hof14.dat"),
              "134 klikken Zandor Quibbe\r\n50 klikken Ann\r\n50 klikken Bob\r\n");
    EXPECT_EQ(fileText("hof14b.dat"),
              "303 seconden Zandor Quibbe\r\n60 seconden Ann\r\n60 seconden Bob\r\n");
}

TEST_F(Hof, FilesThatCannotBeReadAreReportedAndLeftAlone) {
    // A FIFO is no list: reported at once, never waited on, never replaced.
    ::alarm(30);  // a display that waits on the FIFO fails here instead of hanging
    ASSERT_EQ(::mkfifo("hof14.dat", 0600), 0);
    // Nor is a link, wherever it leads: it reads as no list, and the seeded list replaces it.
    // What it points to (here a file only its owner may read) never gets into the list.
    { std::ofstream("secret.txt") << "geheim\r\n"; }
    ASSERT_EQ(::chmod("secret.txt", 0600), 0);
    fs::create_symlink("secret.txt", "hof14b.dat");
    form->clicks1->click();
    form->time1->click();
    ::alarm(0);
    auto openError = [](const char* name, const char* reason) {
        return "Cannot open file \"" + plat::absolutePath(name) + "\". " + reason;
    };
    EXPECT_EQ(plat::DialogScript::messages(),
              (std::vector<std::string>{openError("hof14.dat", "Invalid argument")}));
    EXPECT_TRUE(fs::is_fifo("hof14.dat"));
    EXPECT_FALSE(fs::is_symlink("hof14b.dat"));
    EXPECT_EQ(fileText("hof14b.dat"), "303 seconden Zandor Quibbe\r\n");
    EXPECT_EQ(fileText("secret.txt"), "geheim\r\n");

    // Past the 1 MB cap a list is not read, so it is never written back cut short.
    std::string big;
    while (big.size() <= game::hof::kMaxFileBytes) big += "500 klikken Veel\r\n";
    fs::remove("hof14.dat");
    plat::writeFileReplacing("hof14.dat", big);
    form->clicks1->click();
    EXPECT_EQ(plat::DialogScript::messages().back(), openError("hof14.dat", "File too large"));
    EXPECT_EQ(fileText("hof14.dat"), big);

    // A file this user may not read is as much there as one it may.
    plat::DialogScript::clear();
    fs::remove("hof14.dat");
    fs::remove("hof14b.dat");
    fullLists();
    const std::string clicks = fileText("hof14.dat"), time = fileText("hof14b.dat");
    const std::string error = openError("hof14b.dat", "Permission denied");
    ::chmod("hof14b.dat", 0200);
    const int result = savetest::unprivileged([&] {
        form->time1->click();
        if (plat::DialogScript::messages() != std::vector<std::string>{error}) return 1;
        finish(1, 1);
        const std::size_t boxes = plat::DialogScript::shown().size();
        try {
            form->TopTenEntry();
            return 2;
        } catch (const plat::Exception& e) {
            // Stopped before the name dialog: no entry is asked for, none is written.
            if (e.what() != error || plat::DialogScript::shown().size() != boxes) return 3;
        }
        return form->hofVisible ? 0 : 4;
    });
    ::chmod("hof14b.dat", 0600);
    if (result == -1) GTEST_SKIP() << "running as root with no unprivileged user to become";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fileText("hof14.dat"), clicks);
    EXPECT_EQ(fileText("hof14b.dat"), time);
}

TEST_F(Hof, FailedWritesKeepTheListAndReportTheFile) {
    fullLists();
    const std::string clicks = fileText("hof14.dat");
    finish(100, 100);
    plat::DialogScript::answer(true, "Jo");
    std::string error;
    savetest::withFileSizeLimit(64, [&] {
        try {
            form->TopTenEntry();
        } catch (const plat::Exception& e) {
            error = e.what();
        }
    });
    EXPECT_EQ(error, "Cannot create file \"" + plat::absolutePath("hof14.dat") + "\". " +
                         plat::systemErrorText(EFBIG));
    EXPECT_TRUE(form->hofVisible);
    EXPECT_EQ(fileText("hof14.dat"), clicks);

    // A folder in the file's place cannot be read: it is reported, and nothing is written.
    fs::remove("hof14b.dat");
    fs::create_directory("hof14b.dat");
    form->time1->click();
    EXPECT_EQ(plat::DialogScript::messages().back(),
              "Cannot open file \"" + plat::absolutePath("hof14b.dat") + "\". Is a directory");
    EXPECT_TRUE(fs::is_empty("hof14b.dat"));
}

}  // namespace
