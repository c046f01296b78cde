// The guard across real processes: copies of a probe program started from folders of
// their own, so parallel test runs never share a block.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "instance/sngInstanceControl.h"
#include "platform/sharedblock.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

constexpr int patienceMs = 30000;  // only bounds a hang; nothing here is timed

struct Probe {
    pid_t pid = -1;
    int out = -1;
    std::string line;  // the report line

    // stdinFd: what the probe reads as standard input (its gate), if not ours.
    Probe(const fs::path& exe, std::vector<std::string> args, int stdinFd = -1) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
        posix_spawn_file_actions_addclose(&fa, fds[0]);
        if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&fa, stdinFd, 0);
        args.insert(args.begin(), exe.string());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&fa);
        close(fds[1]);
        out = fds[0];
        readLine();
    }
    void readLine() {
        std::string buf;
        char c;
        pollfd p{out, POLLIN, 0};
        while (poll(&p, 1, patienceMs) == 1 && read(out, &c, 1) == 1 && c != '\n') buf += c;
        line = buf;
    }
    ~Probe() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(out);
    }
    std::string word(int i) const {
        std::istringstream in(line);
        std::string w;
        for (int k = 0; k <= i; ++k) in >> w;
        return w;
    }
    bool alive() const { return kill(pid, 0) == 0; }
    // Exit code; -1 when it did not end within the patience.
    int waitExit() {
        for (int ms = 0; ms < patienceMs; ms += 10) {
            int st;
            if (waitpid(pid, &st, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    void killHard() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

class Guard : public testing::Test {
protected:
    fs::path root, trace;
    void SetUp() override {
        root = fs::canonical(fs::temp_directory_path()) /
               ("zwinst-" + std::to_string(getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root);
        trace = root / "raised.txt";
        setenv("ZW_TRACE_RAISE", trace.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ZW_TRACE_RAISE");
        // Killed copies leave their objects behind.
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(objectFolder(), ec))
            if (e.path().string().find(root.filename().string()) != std::string::npos)
                fs::remove_all(e.path(), ec);
        fs::remove_all(root);
    }
    static fs::path objectFolder() { return fs::path(plat::sharedBlockPath("x")).parent_path(); }
    static std::string blockOf(const fs::path& exe) {
        return plat::sharedBlockPath(instance::TsngInstanceControl::MappingName(exe.string()));
    }
    static std::string lockOf(const fs::path& exe) {
        return plat::sharedBlockLockPath(instance::TsngInstanceControl::MappingName(exe.string()));
    }
    static bool present(const std::string& path) { return fs::exists(fs::symlink_status(path)); }
    fs::path copyProbe(const std::string& folder) {
        fs::create_directories(root / folder);
        fs::path to = root / folder / "instance_probe";
        fs::copy_file(fs::path(ZW_BIN_DIR) / "instance_probe", to);
        return to;
    }
    std::string traced() {
        for (int ms = 0; ms < patienceMs; ms += 10) {
            std::ifstream in(trace);
            std::string s((std::istreambuf_iterator<char>(in)), {});
            if (!s.empty()) return s;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "";
    }
};

TEST_F(Guard, SecondCopyRaisesTheFirstAndEndsWithoutBeingCounted) {
    fs::path exe = copyProbe("Pairs Game");
    Probe first(exe, {"hold"});
    ASSERT_EQ(first.line, "running " + std::to_string(first.pid) + " 1");

    Probe second(exe, {"hold"});
    EXPECT_EQ(second.line, "refused " + std::to_string(first.pid) + " 1");
    EXPECT_EQ(second.waitExit(), 0);
    EXPECT_EQ(traced(), "raised " + std::to_string(first.pid) + "\n");
    EXPECT_TRUE(first.alive());

    // The name ignores blanks: the same program one blank away is the same program.
    Probe third(copyProbe("PairsGame"), {"hold"});
    EXPECT_EQ(third.word(0), "refused");
    EXPECT_EQ(third.waitExit(), 0);
}

TEST_F(Guard, ACopyThatEndedInAnyWayNeverBlocksTheNextStart) {
    fs::path exe = copyProbe("a");
    {
        Probe killed(exe, {"hold"});
        ASSERT_EQ(killed.word(0), "running");
        killed.killHard();
    }
    {
        Probe exited(exe, {"exit"});  // ends at once and leaves the count raised
        ASSERT_EQ(exited.line, "running " + std::to_string(exited.pid) + " 1");
        EXPECT_EQ(exited.waitExit(), 0);
    }
    Probe next(exe, {"hold"});
    EXPECT_EQ(next.line, "running " + std::to_string(next.pid) + " 1");
}

// A refused copy that is slow to end must not keep the count of the copy it refused to:
// once that copy has gone, the next start runs.
TEST_F(Guard, ARefusedCopyStillAliveNeverHoldsTheCountOfACopyThatEnded) {
    fs::path exe = copyProbe("slow");
    Probe first(exe, {"hold"});
    ASSERT_EQ(first.word(0), "running");
    Probe refused(exe, {"hold", "--linger"});
    ASSERT_EQ(refused.word(0), "refused");
    kill(first.pid, SIGTERM);
    EXPECT_EQ(first.waitExit(), 0);
    ASSERT_TRUE(refused.alive());
    Probe next(exe, {"hold"});
    EXPECT_EQ(next.line, "running " + std::to_string(next.pid) + " 1");
}

TEST_F(Guard, CopiesFromTwoPathsAndDisabledCopiesAllRun) {
    Probe a(copyProbe("one"), {"hold"}), b(copyProbe("two"), {"hold"});
    EXPECT_EQ(a.word(0), "running");
    EXPECT_EQ(b.word(0), "running");

    fs::path exe = copyProbe("off");
    Probe c(exe, {"hold", "--disabled"}), d(exe, {"hold", "--disabled"});
    EXPECT_EQ(c.line, "running " + std::to_string(c.pid) + " none");
    EXPECT_EQ(d.line, "running " + std::to_string(d.pid) + " none");

    // A program whose path is too long for the system to tell has no block to share.
    const fs::path deep = root / "deep";
    {
        const std::string climb =
            "mkdir -p \"$0\" && cd \"$0\" && for i in $(seq 24); do mkdir -p "
            "\"$(printf '%0200d' 0)\" && cd \"$(printf '%0200d' 0)\" || exit 1; done && "
            "{ [ -e instance_probe ] || cp \"$1\" .; } && exec env ./instance_probe hold";
        const std::string probe = (fs::path(ZW_BIN_DIR) / "instance_probe").string();
        Probe e("/bin/bash", {"-c", climb, deep, probe}),
            f("/bin/bash", {"-c", climb, deep, probe});
        EXPECT_EQ(e.word(0), "running");
        EXPECT_EQ(f.word(0), "running");
    }
    EXPECT_EQ(std::system(("rm -rf '" + deep.string() + "'").c_str()), 0);
}

TEST_F(Guard, OnlyTheDestructorAndTheFinalizationLowerTheCount) {
    fs::path exe = copyProbe("count");
    Probe holder(exe, {"hold", "--max", "3"});
    ASSERT_EQ(holder.word(2), "1");
    Probe once(exe, {"once", "--max", "3"});
    EXPECT_EQ(once.word(2), "2");
    EXPECT_EQ(once.waitExit(), 0);
    Probe leak(exe, {"leak", "--max", "3"});
    EXPECT_EQ(leak.word(2), "2");
    EXPECT_EQ(leak.waitExit(), 0);
    Probe exited(exe, {"exit", "--max", "3"});
    EXPECT_EQ(exited.word(2), "2");
    EXPECT_EQ(exited.waitExit(), 0);
    // The copy that ended at once is still counted while the holder keeps the block.
    Probe third(exe, {"hold", "--max", "3"});
    EXPECT_EQ(third.word(2), "3");
    Probe refused(exe, {"hold", "--max", "3"});
    EXPECT_EQ(refused.line, "refused " + std::to_string(third.pid) + " 3");
}

TEST_F(Guard, CopiesStartedAtOneInstantLeaveExactlyOneRunning) {
    fs::path exe = copyProbe("rush");
    // The first copy writes the block a while after making it: without the start-up lock,
    // the others would find it empty.
    setenv("ZW_TEST_FRESH_MAP_DELAY_MS", "200", 1);
    int gate[2];
    ASSERT_EQ(pipe2(gate, O_CLOEXEC), 0);
    std::vector<std::unique_ptr<Probe>> copies;
    for (int i = 0; i < 8; ++i) {
        copies.push_back(
            std::make_unique<Probe>(exe, std::vector<std::string>{"hold", "--gate"}, gate[0]));
        ASSERT_EQ(copies.back()->line, "ready");
    }
    close(gate[1]);  // every copy goes at once
    close(gate[0]);
    int running = 0;
    for (auto& p : copies) {
        p->readLine();
        SCOPED_TRACE(p->line);
        EXPECT_EQ(p->word(2), "1");
        if (p->word(0) == "running")
            ++running;
        else
            EXPECT_EQ(p->word(0), "refused");
    }
    unsetenv("ZW_TEST_FRESH_MAP_DELAY_MS");
    EXPECT_EQ(running, 1);
}

// A copy stopped while it holds the start-up lock keeps a later start waiting only for the
// bound; that start then fails as a start without a block does: a message, code 1.
TEST_F(Guard, ACopyHungInItsLoadStepHoldsALaterStartOnlyForTheBound) {
    fs::path exe = copyProbe("hung");
    Probe hung(exe, {"stall"});
    ASSERT_EQ(hung.line, "stalled");
    kill(hung.pid, SIGSTOP);
    auto start = std::chrono::steady_clock::now();
    Probe next(exe, {"hold"});
    EXPECT_EQ(next.word(0), "error");
    EXPECT_NE(next.line.find("opstarten"), std::string::npos) << next.line;
    EXPECT_EQ(next.waitExit(), 1);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    EXPECT_GE(ms, plat::SharedBlockLock::lockWaitMs);
    EXPECT_LT(ms, plat::SharedBlockLock::lockWaitMs + 15000);
}

// Whatever sits at the guard's names without being a file of ours (another user's file,
// a folder) is a block that cannot be opened: every copy runs, without a message.
TEST_F(Guard, AnObjectNotOursAtTheGuardsNameLetsEveryCopyRun) {
    fs::path exe = copyProbe("foreign");
    for (const std::string& object : {blockOf(exe), lockOf(exe)}) {
        for (bool otherUser : {false, true}) {
            if (otherUser && geteuid() != 0) continue;  // making another user's file takes root
            SCOPED_TRACE(object + (otherUser ? " of another user" : " as a folder"));
            if (otherUser) {
                std::ofstream(object).put('\0');
                ASSERT_EQ(chown(object.c_str(), 65534, 65534), 0);
            } else {
                fs::create_directory(object);
            }
            Probe a(exe, {"hold"}), b(exe, {"hold"});
            EXPECT_EQ(a.word(0), "running");
            EXPECT_EQ(b.word(0), "running");
            a.killHard();
            b.killHard();
            fs::remove(blockOf(exe));
            fs::remove(lockOf(exe));
        }
    }
}

// A normal end (the window closed, "&Afsluiten", a terminate signal) gives the handles up
// as the process goes: the last copy's objects go with it, another copy's stay.
TEST_F(Guard, TheLastCopyToEndNormallyRemovesTheObjects) {
    fs::path exe = copyProbe("tidy");
    Probe first(exe, {"hold"});
    ASSERT_EQ(first.word(0), "running");
    Probe second(exe, {"exit", "--max", "2"});
    EXPECT_EQ(second.word(2), "2");
    EXPECT_EQ(second.waitExit(), 0);
    EXPECT_TRUE(present(blockOf(exe)));
    EXPECT_TRUE(present(lockOf(exe)));
    kill(first.pid, SIGTERM);
    EXPECT_EQ(first.waitExit(), 0);
    EXPECT_FALSE(present(blockOf(exe)));
    EXPECT_FALSE(present(lockOf(exe)));
    Probe next(exe, {"exit"});
    EXPECT_EQ(next.line, "running " + std::to_string(next.pid) + " 1");
    EXPECT_EQ(next.waitExit(), 0);
    EXPECT_FALSE(present(blockOf(exe)));
}

// A folder on a full file system: the block cannot get its bytes, which is a block that
// cannot be made (a message, code 1), never a crash at its first write, and nothing stays.
// The full file system is a small one mounted in a namespace of the run's own.
TEST_F(Guard, AFullFolderFailsTheStartWithoutACrashAndLeavesNothing) {
    if (geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0)
        GTEST_SKIP() << "making a mount namespace takes root and a system that allows it";
    const fs::path exe = copyProbe("full"), folder = root / "full" / "mount";
    fs::create_directories(folder);
    const std::string script =
        "mount -t tmpfs -o size=64k,mode=0700 zwfull \"$0\" || exit 99\n"
        "cat /dev/zero > \"$0/fill\" 2>/dev/null\n"
        "env XDG_RUNTIME_DIR= \"$2=$0\" \"$1\" exit\n"
        "rc=$?\n"
        "echo left: $(cd \"$0\" && find . -mindepth 1 ! -type d ! -name fill)\n"
        "exit $rc\n";
    for (const std::string var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        SCOPED_TRACE(var);
        Probe p("/usr/bin/unshare", {"-m", "sh", "-c", script, folder, exe, var});
        EXPECT_EQ(p.word(0), "error") << p.line;
        while (!p.line.empty() && p.word(0) != "left:") p.readLine();
        EXPECT_EQ(p.line, "left:");
        EXPECT_EQ(p.waitExit(), 1);
    }
}

TEST_F(Guard, ASecondComponentInOneProgramIsRefused) {
    Probe p(copyProbe("twice"), {"twice"});
    EXPECT_EQ(p.line, "error Only one copy of this component can be dropped on a form!");
    EXPECT_EQ(p.waitExit(), 1);
}

TEST(GuardName, BackslashesAndBlanksAreRemoved) {
    using instance::TsngInstanceControl;
    EXPECT_EQ(TsngInstanceControl::MappingName("C:\\Games\\Pairs Game\\pairs.exe"),
              "C:GamesPairsGamepairs.exe");
    EXPECT_EQ(TsngInstanceControl::MappingName("/opt/Zw irlo/bin/zwirlo3"),
              "/opt/Zwirlo/bin/zwirlo3");
    EXPECT_EQ(TsngInstanceControl::MappingName(" \\ \\"), "");
}

}  // namespace
