// Network play on the connecting side: the address dialog and host.txt, the connection's
// effects, the receive thread, and the two ways the link ends.
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "test_net_peer.h"

using namespace nettest;
using namespace ZwiUnit1;

namespace {

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

class NetClient : public NetWindow {
protected:
    int listenFd = -1;
    int port = 0;
    std::unique_ptr<Peer> peer;

    void SetUp() override {
        listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = loopback("127.0.0.1", 0);
        ASSERT_EQ(::bind(listenFd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::listen(listenFd, 4), 0);
        socklen_t len = sizeof a;
        getsockname(listenFd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        std::remove("host.txt");
        build(game::zwirlo60Variant(), port);
    }
    void TearDown() override {
        NetWindow::TearDown();
        peer.reset();
        ::close(listenFd);
    }
    // Confirms `address` in the dialog and takes the game's connection.
    void connectAs(const std::string& address) {
        plat::DialogScript::answer(true, address);
        form->FileConnectItemClick();
        ASSERT_TRUE(connected);
        int fd = ::accept(listenFd, nullptr, nullptr);
        ASSERT_GE(fd, 0);
        peer = std::make_unique<Peer>(fd);
    }
};

TEST_F(NetClient, ConnectsToTheAddressKeptInHostTxt) {
    writeFile("host.txt", "127.0.0.1\r\nsecond line");
    form->IdTCPServer1->port = 0;  // the peer's port is taken by the peer
    form->FileListenItemClick();
    ASSERT_TRUE(form->IdTCPServer1->active());
    PostToPeer(" o");  // dropped by the connect command
    connectAs("127.0.0.1");
    const auto& input = plat::DialogScript::shown().front();
    EXPECT_EQ(input.caption, "IP-adres");
    EXPECT_EQ(input.prompt, "Server adres om naar te verbinden: ");
    EXPECT_EQ(input.initial, "127.0.0.1");
    EXPECT_EQ(readFile("host.txt"), "127.0.0.1");
    EXPECT_FALSE(form->IdTCPServer1->active());
    EXPECT_FALSE(form->FileListenItem->checked());
    EXPECT_EQ(form->BitBtn1->caption(), "Verbonden");
    EXPECT_EQ(sounds(), std::vector<std::string>{"robot"});
    for (auto* item : {form->Start1, form->animals1, form->birds1, form->Load1})
        EXPECT_TRUE(item->enabled()) << item->name();

    // Lines leave through the receive thread; the peer's are dispatched.
    PostToPeer("!o");
    EXPECT_EQ(peer->readLine(), "!o");
    peer->send(pairBoard(60));
    ASSERT_TRUE(pumpUntil([&] { return form->board[59] == 30; }));
    EXPECT_FALSE(form->Start1->enabled());

    // The peer ends it: only the receive thread's end steps run.
    clicksBlocked = true;
    sounds().clear();
    peer->close();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    settle();
    EXPECT_EQ(sounds(), std::vector<std::string>{"conlost"});
    EXPECT_EQ(form->BitBtn1->caption(), "Geen Verbinding");
    EXPECT_FALSE(form->Start1->enabled());
    EXPECT_TRUE(clicksBlocked);
    form->Disconnect1Click();  // nothing open any more: no second report
    settle();
    EXPECT_EQ(sounds(), std::vector<std::string>{"conlost"});
}

TEST_F(NetClient, DisconnectingEndsTheLinkAndOpensTheTable) {
    connectAs("127.0.0.1");
    peer->send(pairBoard(60));
    ASSERT_TRUE(pumpUntil([&] { return form->board[0] == 1; }));
    clicksBlocked = true;
    clickBusy = true;
    sounds().clear();
    form->Disconnect1Click();
    EXPECT_FALSE(connected);
    EXPECT_FALSE(clicksBlocked);
    EXPECT_FALSE(clickBusy);
    EXPECT_TRUE(form->Start1->enabled());
    EXPECT_TRUE(form->Button1->enabled());
    EXPECT_FALSE(sendPending);
    EXPECT_TRUE(peer->closedByGame());
    // Once from the disconnect, once more as the receive thread ends.
    ASSERT_TRUE(pumpUntil([&] { return sounds().size() >= 2; }));
    settle();
    EXPECT_EQ(sounds(), (std::vector<std::string>{"conlost", "conlost"}));
    EXPECT_EQ(form->BitBtn1->caption(), "Geen Verbinding");
    EXPECT_EQ(form->BitBtn1->kind(), plat::BitBtn::bkNo);
}

// A peer that floods the window with card actions: the receive thread stops reading at the
// hand-over's bound, and every action is still played, once and in order.
TEST_F(NetClient, AFloodingPeerWaitsAtTheHandOverBoundAndLosesNoLine) {
    connectAs("127.0.0.1");
    peer->send(pairBoard(60));
    ASSERT_TRUE(pumpUntil([&] { return form->board[59] == 30 && plat::notifyIdle(); }));
    std::vector<std::int32_t> sent;
    std::string flood;
    for (std::size_t i = 0; i < 10 * plat::kMaxHandOver; ++i) {
        sent.push_back(static_cast<std::int32_t>(i * 7 % 60));
        flood += network::frame(network::ClickMessage(sent.back(), 'o'));
    }
    peer->sendRaw(flood);
    EXPECT_EQ(handOverAfterFilling(), plat::kMaxHandOver);
    std::size_t most = 0;
    ASSERT_TRUE(pumpUntil([&] {
        most = std::max(most, plat::notifyBacklog());
        return form->logPos >= static_cast<std::int32_t>(2 * sent.size());
    }));
    EXPECT_LE(most, plat::kMaxHandOver);
    std::vector<std::int32_t> played;  // the move record: 200 (the opponent), position
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(form->moveLog[2 * i], 200);
        played.push_back(form->moveLog[2 * i + 1]);
    }
    EXPECT_EQ(played, sent);
}

// Every way a link ends gives back its socket and wake-up descriptor once it has ended.
TEST_F(NetClient, ManyConnectsLeaveTheDescriptorCountFlat) {
    // Ends the link and waits until its receive thread's end steps have run.
    auto end = [&](bool byPeer) {
        sounds().clear();
        if (byPeer)
            peer->close();
        else
            form->Disconnect1Click();
        ASSERT_TRUE(pumpUntil([&] { return sounds().size() == (byPeer ? 1u : 2u); }));
        settle();
        peer.reset();
    };
    const long before = openDescriptors();
    for (int i = 0; i < 25; ++i) {
        connectAs("127.0.0.1");
        end(i % 2 == 0);
    }
    EXPECT_TRUE(pumpUntil([&] { return openDescriptors() <= before; }))
        << openDescriptors() - before << " more open";
}

TEST_F(NetClient, FailuresAndCancelAreReportedAsTheProgramSaysThem) {
    // Cancelled: nothing written, not listening.
    form->IdTCPServer1->port = 0;
    form->FileListenItemClick();
    form->FileConnectItemClick();
    EXPECT_FALSE(form->IdTCPServer1->active());
    EXPECT_FALSE(form->FileListenItem->checked());
    EXPECT_EQ(readFile("host.txt"), "");
    EXPECT_TRUE(messages().empty());

    // An empty address keeps host and port as they were and leaves an empty file.
    writeFile("host.txt", "");
    form->Client->port = port;
    connectAs("");
    EXPECT_EQ(form->Client->host, "127.0.0.1");
    EXPECT_EQ(readFile("host.txt"), "");

    plat::DialogScript::answer(true, "127.0.0.1");
    form->FileConnectItemClick();
    EXPECT_EQ(messages(),
              std::vector<std::string>{">>>Kon geen verbinding maken: Already connected."});
    form->Disconnect1Click();
    plat::DialogScript::clear();

    ::close(listenFd);  // nobody answers now
    listenFd = -1;
    plat::DialogScript::answer(true, "127.0.0.1");
    form->FileConnectItemClick();
    EXPECT_EQ(messages(),
              std::vector<std::string>{
                  ">>>Kon geen verbinding maken: Socket Error # 111\r\nConnection refused."});
}

TEST_F(NetClient, TheGreekGameSaysItsOwnWay) {
    build(game::zwirlo3Variant(), port);
    form->Load1->setEnabled(false);
    plat::DialogScript::answer(true, "127.0.0.1");
    form->FileConnectItemClick();
    int fd = ::accept(listenFd, nullptr, nullptr);
    peer = std::make_unique<Peer>(fd);
    EXPECT_TRUE(form->Load1->enabled());  // enabled by the connection, not the command
    EXPECT_EQ(form->animals1, nullptr);
    form->Disconnect1Click();
    ::close(listenFd);
    listenFd = -1;
    plat::DialogScript::clear();
    plat::DialogScript::answer(true, "127.0.0.1");
    form->FileConnectItemClick();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(">>>Kon niet verbinden: Socket Error # 111", 0), 0u);
}

// host.txt is read as every data file is: a FIFO or a device in its place holds no address
// and is neither waited on nor read without end.
TEST_F(NetClient, SpecialFileInPlaceOfHostTxtIsNoAddress) {
    ::alarm(30);  // a read that waits on the FIFO fails here instead of hanging
    for (bool fifo : {true, false}) {
        std::remove("host.txt");
        if (fifo)
            ASSERT_EQ(::mkfifo("host.txt", 0600), 0);
        else
            ASSERT_EQ(::symlink("/dev/zero", "host.txt"), 0);
        form->FileConnectItemClick();  // cancelled
        EXPECT_EQ(plat::DialogScript::shown().back().initial, "");
    }
    ::alarm(0);
}
