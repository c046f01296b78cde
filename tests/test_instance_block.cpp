// The shared block's names and lifetime, and raise requests, inside one process.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/raise.h"
#include "platform/sharedblock.h"

namespace {

std::string uniqueName(const std::string& tag) {
    return "C:Tests" + std::to_string(getpid()) + tag + ".exe";
}

// A failed test can leave objects behind; this process's test names are its own to clear.
struct ClearObjects : testing::Environment {
    void TearDown() override {
        const std::string mine = "Tests" + std::to_string(getpid());
        const auto folder = std::filesystem::path(plat::sharedBlockPath("x")).parent_path();
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec))
            if (e.path().string().find(mine) != std::string::npos)
                std::filesystem::remove_all(e.path(), ec);
    }
};
const auto* clearObjects = testing::AddGlobalTestEnvironment(new ClearObjects);

bool objectExists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

TEST(SharedBlockName, IsOneValidObjectNameThatKeepsNamesApart) {
    std::set<std::string> seen;
    const std::string names[] = {"a/b",
                                 "a_2Fb",
                                 "a b",
                                 "a_20b",
                                 "A/B",
                                 "",
                                 std::string(3000, 'x'),
                                 std::string(2999, 'x') + "y",
                                 "\xE9t\xE9"};
    for (const std::string& n : names) {
        std::string sys = plat::sharedBlockSystemName(n);
        EXPECT_EQ(sys.rfind("zwirlo-b-", 0), 0u) << sys;
        EXPECT_EQ(sys.find('/'), std::string::npos) << sys;
        EXPECT_LE(sys.size(), 250u);
        seen.insert(sys);
    }
    EXPECT_EQ(seen.size(), std::size(names));
}

TEST(SharedBlock, LivesWhileAHandleHoldsIt) {
    const std::string name = uniqueName("life");
    bool existed = true;
    EXPECT_EQ(plat::openSharedBlock(name), plat::noSharedBlock);

    auto a = plat::createSharedBlock(name, 8, existed);
    ASSERT_NE(a, plat::noSharedBlock);
    EXPECT_FALSE(existed);
    auto* va = static_cast<unsigned char*>(plat::mapSharedBlock(a, 8));
    ASSERT_NE(va, nullptr);
    va[4] = 7;

    auto b = plat::createSharedBlock(name, 8, existed);
    EXPECT_TRUE(existed);
    auto c = plat::openSharedBlock(name);
    ASSERT_NE(c, plat::noSharedBlock);
    // A view longer than the block grows it instead of faulting.
    auto* vc = static_cast<unsigned char*>(plat::mapSharedBlock(c, 64));
    ASSERT_NE(vc, nullptr);
    EXPECT_EQ(vc[4], 7);
    vc[63] = 1;
    plat::unmapSharedBlock(vc, 64);

    const std::string block = plat::sharedBlockPath(name), lock = plat::sharedBlockLockPath(name);
    plat::closeSharedBlock(a);
    plat::closeSharedBlock(b);
    EXPECT_TRUE(objectExists(block));
    EXPECT_TRUE(objectExists(lock));
    plat::closeSharedBlock(c);
    // The last handle takes the block and its lock with it.
    EXPECT_FALSE(objectExists(block));
    EXPECT_FALSE(objectExists(lock));
    EXPECT_EQ(va[4], 7);  // a view outlives its handle
    plat::unmapSharedBlock(va, 8);
    plat::closeSharedBlock(c);  // twice: harmless
}

// The holder that removes the lock file has it locked; a copy that was already waiting on
// that file must not take it as the lock, or a copy starting after it, which makes a new
// file, would hold the lock at the same time.
TEST(SharedBlock, AWaiterOnARemovedLockTakesTheOneAtTheName) {
    namespace fs = std::filesystem;
    const std::string name = uniqueName("relock");
    const std::string lockPath = plat::sharedBlockLockPath(name);
    // The holder, done by hand: a forked child must not meet this process's own state.
    plat::SharedBlockLock(name).unlock();  // makes the folder
    int held = open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    pid_t child = fork();
    if (child == 0) {
        close(toChild[1]);
        close(held);  // a copy of the holder's file would keep its lock after the parent lets go
        {
            plat::SharedBlockLock lock(name);
            char e = static_cast<char>(lock.error());
            ssize_t ignored = write(toParent[1], &e, 1);
            (void)ignored;
            while (read(toChild[0], &e, 1) > 0) {
            }
        }
        _exit(0);
    }
    close(toChild[0]);
    close(toParent[1]);
    // Only once the child has the file open and waits does the holder let go.
    auto waiting = [&] {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ec))
            if (fs::read_symlink(e.path(), ec) == lockPath) return true;
        return false;
    };
    for (int i = 0; i < 3000 && !waiting(); ++i) usleep(1000);
    ASSERT_TRUE(waiting());
    unlink(lockPath.c_str());  // removed while locked, as the last copy does
    close(held);
    char e = 1;
    ASSERT_EQ(read(toParent[0], &e, 1), 1);
    EXPECT_EQ(e, 0);
    int fd = open(lockPath.c_str(), O_RDWR);
    ASSERT_GE(fd, 0) << "the child holds no lock file at the name";
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
    close(toChild[1]);
    close(toParent[0]);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(objectExists(lockPath));
}

// Only the user can make names in the folder; whatever is found at a name anyway (another
// user's file, a folder, a link, a FIFO) is neither used nor replaced.
TEST(SharedBlock, AnObjectNotOursOrNotAFileCannotBeOpened) {
    namespace fs = std::filesystem;
    const std::string name = uniqueName("foreign");
    std::vector<std::function<void(const fs::path&)>> plant = {
        [](const fs::path& p) { fs::create_directory(p); },
        [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
        [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
    };
    if (geteuid() == 0)
        plant.push_back([](const fs::path& p) {
            std::ofstream(p).put('\0');
            ASSERT_EQ(chown(p.c_str(), 12345, 12345), 0);
        });
    for (const fs::path object : {plat::sharedBlockPath(name), plat::sharedBlockLockPath(name)}) {
        for (std::size_t i = 0; i < plant.size(); ++i) {
            SCOPED_TRACE(object.string() + " #" + std::to_string(i));
            plant[i](object);
            if (object.string() == plat::sharedBlockLockPath(name)) {
                plat::SharedBlockLock lock(name);
                EXPECT_EQ(lock.error(), plat::foreignObject);
            } else {
                bool existed;
                EXPECT_EQ(plat::createSharedBlock(name, 8, existed), plat::noSharedBlock);
                EXPECT_EQ(plat::lastSystemError(), plat::foreignObject);
            }
            EXPECT_TRUE(objectExists(object));
            fs::remove(plat::sharedBlockPath(name));
            fs::remove(plat::sharedBlockLockPath(name));
        }
    }

    // A runtime folder others can write to is passed over for a folder of our own; a
    // stranger's object in that folder's place is foreign as well.
    const fs::path scratch = fs::temp_directory_path() / ("zwfolder-" + std::to_string(getpid()));
    fs::create_directories(scratch / "open");
    fs::permissions(scratch / "open", fs::perms::all);
    const std::string runtime = getenv("XDG_RUNTIME_DIR");
    const char* tmp = getenv("TMPDIR");
    const std::string oldTmp = tmp ? tmp : "";
    setenv("XDG_RUNTIME_DIR", (scratch / "open").c_str(), 1);
    setenv("TMPDIR", scratch.c_str(), 1);
    const fs::path own = scratch / ("zwirlo-" + std::to_string(geteuid()));
    // Made under a narrow umask, the folder and the objects in it are still ours to use.
    const mode_t mask = umask(0277);
    EXPECT_EQ(fs::path(plat::sharedBlockPath(name)).parent_path(), own);
    bool wasThere;
    const auto block = plat::createSharedBlock(name, 8, wasThere);
    umask(mask);
    EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(plat::sharedBlockPath(name)).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    plat::closeSharedBlock(block);
    fs::remove(own);
    fs::create_directory_symlink(scratch / "open", own);
    bool existed;
    EXPECT_EQ(plat::createSharedBlock(name, 8, existed), plat::noSharedBlock);
    EXPECT_EQ(plat::lastSystemError(), plat::foreignObject);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    if (tmp)
        setenv("TMPDIR", oldTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_TRUE(fs::is_empty(scratch / "open"));
    fs::remove_all(scratch);
}

TEST(Raise, ARequestBringsTheRegisteredFormForwardOnlyFromOurUser) {
    const auto trace = std::filesystem::current_path() / "raise.txt";
    setenv("ZW_TRACE_RAISE", trace.c_str(), 1);
    plat::Form form("raised");
    plat::setMainFormForRaise(&form);
    const std::uint32_t self = plat::raiseHandle();
    EXPECT_EQ(self, static_cast<std::uint32_t>(getpid()));
    const int before = plat::raiseRequestsServed();

    if (geteuid() == 0) {
        // Anyone may send to an abstract socket; a stranger's request is dropped.
        pid_t child = fork();
        if (child == 0) {
            sockaddr_un to{};
            to.sun_family = AF_UNIX;
            std::string name = "zwirlo-raise-0-" + std::to_string(self);
            std::memcpy(to.sun_path + 1, name.data(), name.size());
            int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
            bool sent = setuid(12345) == 0 &&
                        sendto(fd, "R", 1, 0, reinterpret_cast<sockaddr*>(&to),
                               offsetof(sockaddr_un, sun_path) + 1 + name.size()) == 1;
            _exit(sent ? 0 : 1);
        }
        int st = 0;
        waitpid(child, &st, 0);
        EXPECT_EQ(WEXITSTATUS(st), 0);
    }
    EXPECT_TRUE(plat::bringForward(self));
    for (int i = 0; i < 100 && plat::raiseRequestsServed() == before; ++i)
        plat::Application::processMessages();
    plat::Application::processMessages();
    EXPECT_EQ(plat::raiseRequestsServed(), before + 1);
    std::ifstream in(trace);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "raised " + std::to_string(getpid()));

    EXPECT_FALSE(plat::bringForward(0));
    EXPECT_FALSE(plat::bringForward(0x7ffffff0u));  // nobody listens there
    plat::setMainFormForRaise(nullptr);
    unsetenv("ZW_TRACE_RAISE");
}

}  // namespace
