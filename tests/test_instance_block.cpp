// The shared block's names and lifetime, and raise requests, inside one process.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
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

// Lock files always stay behind; this process's test names are its own to clear.
struct ClearObjects : testing::Environment {
    void TearDown() override {
        const std::string mine = "Tests" + std::to_string(getpid());
        for (const auto& e : std::filesystem::directory_iterator("/dev/shm"))
            if (e.path().string().find(mine) != std::string::npos)
                std::filesystem::remove(e.path());
    }
};
const auto* clearObjects = testing::AddGlobalTestEnvironment(new ClearObjects);

bool objectExists(const std::string& name) {
    return std::filesystem::exists("/dev/shm" + plat::sharedBlockSystemName(name));
}

TEST(SharedBlockName, IsOneValidObjectNameThatKeepsNamesApart) {
    std::set<std::string> seen;
    const std::string names[] = {"a/b", "a_2Fb", "a b", "a_20b", "A/B", "",
                                 std::string(3000, 'x'), std::string(2999, 'x') + "y",
                                 "\xE9t\xE9"};
    for (const std::string& n : names) {
        std::string sys = plat::sharedBlockSystemName(n);
        EXPECT_EQ(sys.rfind("/zwirlo-", 0), 0u) << sys;
        EXPECT_EQ(sys.find('/', 1), std::string::npos) << sys;
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

    plat::closeSharedBlock(a);
    plat::closeSharedBlock(b);
    EXPECT_TRUE(objectExists(name));
    plat::closeSharedBlock(c);
    EXPECT_FALSE(objectExists(name));
    EXPECT_EQ(va[4], 7);  // a view outlives its handle
    plat::unmapSharedBlock(va, 8);
    plat::closeSharedBlock(c);  // twice: harmless
}

TEST(SharedBlock, AnotherUsersBlockIsNotOurs) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the object to another user";
    const std::string name = uniqueName("foreign");
    const std::string sys = plat::sharedBlockSystemName(name);
    int fd = shm_open(sys.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(fchown(fd, 12345, 12345), 0);
    close(fd);
    bool existed;
    EXPECT_EQ(plat::createSharedBlock(name, 8, existed), plat::noSharedBlock);
    EXPECT_EQ(plat::lastSystemError(), EACCES);
    EXPECT_NE(plat::systemErrorMessage(EACCES).find("Code: 13."), std::string::npos);
    shm_unlink(sys.c_str());
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
