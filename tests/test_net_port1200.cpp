// The program's own port: held by someone else at start-up, then free again.
#include "test_net_peer.h"

using namespace nettest;

TEST(NetPort1200, APortInUseIsShownAndTheProgramRunsOn) {
    int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    // Address reuse, as the game's own server has it: connections of earlier runs that
    // still linger on the port must not make it look held.
    int on = 1;
    ::setsockopt(holder, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a = loopback("0.0.0.0", 1200);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << "port 1200 busy";
    ASSERT_EQ(::listen(holder, 1), 0);
    plat::DialogScript::clear();
    {
        game::TForm1 form(game::zwirlo60Variant(),
                          {.listen = true, .port = 1200, .instanceGuard = false});
        EXPECT_EQ(plat::DialogScript::messages(),
                  std::vector<std::string>{"Socket Error # 98\r\nAddress already in use."});
        EXPECT_FALSE(form.FileListenItem->checked());
        EXPECT_FALSE(form.IdTCPServer1->active());
        EXPECT_TRUE(ZwiUnit1::clicksBlocked);  // the rest of the start-up ran
        EXPECT_EQ(form.delayInterval, 1000);

        ::close(holder);
        form.FileListenItemClick();  // "&Luisteren" once the port is free
        EXPECT_TRUE(form.FileListenItem->checked());
        auto peer = Peer::connectTo(1200);
        ASSERT_TRUE(peer);
        ASSERT_TRUE(pumpUntil([] { return ZwiUnit1::connected.load(); }));
        settle();
        EXPECT_EQ(form.BitBtn1->caption(), "Verbonden");
    }
    settle();
}
