// Network play on the listening side, with the test as the peer: the connection's
// effects, the board, card actions both ways, turns, scores, the game transfer, and the
// ways a connection ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/shell.h"
#include "test_net_peer.h"

using namespace nettest;
using namespace ZwiUnit1;

namespace {

std::string click(int p, char letter) { return network::ClickMessage(p, letter); }

}  // namespace

class NetPlay : public NetWindow {
protected:
    std::unique_ptr<Peer> peer;

    // Connected, with the peer's board on the table and the turn open to both.
    void connectAndDeal() {
        int port = listen();
        peer = Peer::connectTo(port);
        ASSERT_TRUE(peer);
        ASSERT_TRUE(pumpUntil([] { return connected.load(); }));
        peer->send(pairBoard(form->N));
        ASSERT_TRUE(pumpUntil([&] { return form->Start1->enabled() == false; }));
        settle();
    }
    // The next peer, once the seat is free again: one that comes too early is turned away
    // unseen, and only then is another one tried (a peer given up too soon would take the
    // lines waiting for the next).
    void connectNext() {
        for (int tries = 0; tries < 10 && !connected; ++tries) {
            peer = Peer::connectTo(form->IdTCPServer1->boundPort());
            ASSERT_TRUE(peer);
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (!connected && std::chrono::steady_clock::now() < end) {
                plat::Application::processMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        ASSERT_TRUE(connected);
        settle();
    }
    int entries200() const {
        int n = 0;
        for (int i = 0; i + 1 < form->logLength; i += 2)
            if (form->moveLog[static_cast<std::size_t>(i)] == 200) ++n;
        return n;
    }
};

TEST_F(NetPlay, APeerConnectsAndGetsTheBoardDealtWhileWaitingButNoMoveMadeBeforeIt) {
    int port = listen();
    EXPECT_TRUE(form->FileListenItem->checked());
    form->Start1Click();  // no peer yet: the board waits in the outbox
    ASSERT_EQ(outbox.size(), 1u);
    std::string dealt = outbox.front();
    ASSERT_EQ(dealt.size(), 60u);
    sounds().clear();

    peer = Peer::connectTo(port);
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->readLine(), dealt);
    ASSERT_TRUE(pumpUntil([] { return connected.load(); }));
    settle();
    EXPECT_FALSE(form->FileListenItem->checked());
    EXPECT_EQ(form->BitBtn1->caption(), "Verbonden");
    EXPECT_EQ(form->BitBtn1->kind(), plat::BitBtn::bkYes);
    EXPECT_EQ(sounds(), std::vector<std::string>{"robot"});
    for (auto* item : {form->Start1, form->animals1, form->birds1, form->Solo1,
                       form->AutomaticClear1, form->Load1})
        EXPECT_TRUE(item->enabled()) << item->name();
    EXPECT_TRUE(form->Button1->enabled());
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(sendPending);

    // A game dealt and played on with nobody there: the next peer gets neither its board
    // nor its moves, only what is played once it is there.
    peer->close();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    form->AutomaticClear1->setChecked(false);  // at one machine the players cover by hand
    form->Start1Click();
    int a = 0, b = 1;
    while (form->board[b] == form->board[a]) ++b;
    for (int p : {a, b, a}) form->Image1Click(form->images[p]);
    connectNext();
    form->Image1Click(form->images[b]);
    EXPECT_EQ(peer->readLine(), click(b, 'b'));
}

TEST_F(NetPlay, AReceivedBoardIsTakenOver) {
    int port = listen();
    peer = Peer::connectTo(port);
    ASSERT_TRUE(pumpUntil([] { return connected.load(); }));
    clickBusy = true;  // boards are never dropped
    std::string board = pairBoard(60);
    board[4] = board[5] = ' ';  // a pair taken
    peer->send(board);
    ASSERT_TRUE(pumpUntil([&] { return form->board[0] == 1; }));
    EXPECT_EQ(form->board[5], 0);
    EXPECT_EQ(form->startBoard[5], 0);
    EXPECT_EQ(form->images[5]->pictureName(), "void");
    EXPECT_EQ(form->images[6]->pictureName(), "card");
    EXPECT_EQ(form->board[59], 30);
    EXPECT_TRUE(form->faceDown[17]);
    EXPECT_FALSE(clicksBlocked);
    EXPECT_FALSE(clickBusy);
    EXPECT_FALSE(form->Solo1->checked());
    EXPECT_FALSE(form->Start1->enabled());
    EXPECT_FALSE(form->Button1->enabled());
    EXPECT_TRUE(form->Send1->enabled());
    EXPECT_EQ(form->logLength, 0);
}

// A whole exchange: our failed try passes the turn; the peer finds a pair, clears it,
// fails a try and so hands the turn back; its lines are dropped while we hold the turn.
TEST_F(NetPlay, CardActionsTravelBothWaysAndCarryTheTurn) {
    connectAndDeal();
    form->Image1Click(form->images[10]);  // picture 6
    form->Image1Click(form->images[12]);  // picture 7: a miss
    form->Image1Click(form->images[10]);
    form->Image1Click(form->images[12]);  // both covered: the turn ends here
    EXPECT_EQ(peer->readLine(), click(10, 'o'));
    EXPECT_EQ(peer->readLine(), click(12, 'o'));
    EXPECT_EQ(peer->readLine(), click(10, 'b'));
    EXPECT_EQ(peer->readLine(), click(12, 'b'));
    EXPECT_TRUE(clicksBlocked);
    EXPECT_FALSE(clickBusy);
    const int logged = form->logLength;

    sounds().clear();
    peer->send(click(0, 'o'));
    peer->send(click(1, 'd'));  // the peer's pair
    ASSERT_TRUE(pumpUntil([&] { return form->Label4->caption() == "1"; }));
    EXPECT_EQ(form->images[0]->pictureName(), "pic1");
    EXPECT_EQ(form->images[1]->pictureName(), "pic1");
    EXPECT_TRUE(form->foundByOpponent[0] && form->foundByOpponent[1]);
    EXPECT_EQ(form->board[0], 0);
    EXPECT_TRUE(clicksBlocked);      // the finder keeps the turn
    EXPECT_EQ(sounds().size(), 1u);  // the kept "yourscore"

    peer->send(click(0, 'z'));
    peer->send(click(1, 'z'));
    peer->send(click(2, 'o'));
    peer->send(click(4, 'o'));  // pictures 2 and 3: a miss
    peer->send(click(2, 'b'));
    peer->send(click(4, 'b'));
    ASSERT_TRUE(pumpUntil([] { return clickBusy.load(); }));
    settle();
    EXPECT_EQ(form->images[0]->pictureName(), "void");
    EXPECT_EQ(form->images[4]->pictureName(), "card");
    EXPECT_FALSE(clicksBlocked);
    EXPECT_EQ(form->oppTurnedBack, 0);
    EXPECT_EQ(entries200(), 8);
    EXPECT_EQ(form->logLength, logged + 16);

    // Our turn now: the peer's card actions are dropped, unrecorded.
    peer->send(click(6, 'o'));
    peer->send(pairBoard(59));  // not our card count: ignored as well
    form->Image1Click(form->images[20]);
    EXPECT_EQ(peer->readLine(), click(20, 'o'));  // the lines arrived before ours
    settle();
    EXPECT_EQ(form->images[6]->pictureName(), "card");
    EXPECT_EQ(form->logLength, logged + 18);
    EXPECT_EQ(form->moveLog[static_cast<std::size_t>(logged + 16)], 100);
}

TEST_F(NetPlay, LinesNoCopySendsChangeNothing) {
    connectAndDeal();
    clicksBlocked = false;
    twoCardsUp = true;
    const auto before = form->board;
    for (const std::string& junk :
         {std::string(), std::string(" "), std::string("\\o"), std::string(" x"),
          std::string(" o!"), std::string(44, '!'), std::string(50, '!'),
          std::string("\xff"
                      "o"),
          std::string(70000, 'a')}) {
        peer->send(junk.size() > 16384 ? junk.substr(0, 16000) : junk);
    }
    peer->send(click(3, 'o'));  // a real line after them still counts
    ASSERT_TRUE(pumpUntil([&] { return form->logLength == 2; }));
    settle();
    EXPECT_EQ(form->board, before);
    EXPECT_EQ(form->images[3]->pictureName(), "pic2");
    EXPECT_TRUE(clicksBlocked);
    EXPECT_FALSE(twoCardsUp);
    EXPECT_TRUE(messages().empty());
}

// The peer sends its game: board then scores, with scores 10 and 13 that the framing
// alone could not carry.
TEST_F(NetPlay, ATransferredGameArrivesWithItsScores) {
    connectAndDeal();
    std::string board = pairBoard(60);
    for (int p = 0; p < 46; ++p) board[static_cast<std::size_t>(p)] = ' ';  // 23 pairs taken
    peer->send(board);
    peer->send(network::GameMessage(10, 13));
    ASSERT_TRUE(pumpUntil([&] { return form->Label2->caption() == "10"; }));
    settle();
    EXPECT_EQ(form->Label4->caption(), "13");
    EXPECT_EQ(form->startScoreMe, 10);
    EXPECT_EQ(form->startScoreOpp, 13);
    EXPECT_TRUE(form->restartRecording);
    EXPECT_EQ(messages(), std::vector<std::string>{"Een spel is ontvangen.."});
    EXPECT_FALSE(clicksBlocked);
    EXPECT_FALSE(form->Send1->enabled());
    EXPECT_EQ(form->images[0]->pictureName(), "void");
    EXPECT_EQ(form->images[50]->pictureName(), "card");

    // Complete (12 + 18 = 30), its scores on the next connection: the peer connected again
    // after its board. Every place is empty, for clicks too, and a new game may start.
    peer->send(board);
    ASSERT_TRUE(pumpUntil([&] { return form->Label2->caption() == "0"; }));
    peer->close();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    connectNext();
    peer->send(network::GameMessage(12, 18));
    ASSERT_TRUE(pumpUntil([&] { return form->Label2->caption() == "12"; }));
    settle();
    EXPECT_EQ(form->images[50]->pictureName(), "void");
    EXPECT_TRUE(form->Start1->enabled());
    EXPECT_TRUE(form->Replay1->enabled());
    form->Image1Click(form->images[50]);
    form->Image1Click(form->images[51]);  // a pair of the game, taken already
    EXPECT_EQ(form->images[50]->pictureName(), "void");
    EXPECT_EQ(form->Label2->caption(), "12");
    EXPECT_EQ(form->Label4->caption(), "18");
    EXPECT_EQ(peer->readLine(std::chrono::milliseconds(300)), "<none>");
}

// Sending our game: every card face down first, then the board and both scores,
// receiver's score first.
TEST_F(NetPlay, SendTurnsCardsDownThenSendsBoardThenScores) {
    connectAndDeal();
    form->Label2->setCaption("13");
    form->Label4->setCaption("10");
    form->board[0] = form->board[1] = 0;
    form->PaintCard(0, "pic1");
    form->faceDown[0] = form->faceDown[5] = false;
    form->PaintCard(5, "pic3");
    form->Send1Click();
    EXPECT_EQ(form->images[0]->pictureName(), "void");
    EXPECT_EQ(form->images[5]->pictureName(), "card");
    EXPECT_TRUE(form->faceDown[0] && form->faceDown[5]);
    std::string board = peer->readLine();
    ASSERT_EQ(board.size(), 60u);
    EXPECT_EQ(board[0], ' ');
    EXPECT_EQ(board[2], '"');
    auto scores = network::parseGame(peer->readLine());
    ASSERT_TRUE(scores);
    EXPECT_EQ(scores->mine, 10);
    EXPECT_EQ(scores->theirs, 13);
    EXPECT_EQ(messages(), std::vector<std::string>{"Spel verzonden.."});
    EXPECT_FALSE(clicksBlocked);
    EXPECT_FALSE(clickBusy);
    EXPECT_FALSE(form->Start1->enabled());  // 23 pairs: not complete
}

TEST_F(NetPlay, SendWithoutAPeerOnlyBeeps) {
    form->replayRunning = true;
    form->Timer1->setEnabled(true);
    form->Send1Click();
    EXPECT_FALSE(form->Timer1->enabled());
    EXPECT_FALSE(form->replayRunning);
    EXPECT_EQ(form->Replay1->caption(), "Terugspelen");
    EXPECT_EQ(messages(), std::vector<std::string>{"U bent niet verbonden!"});
    EXPECT_EQ(plat::DialogScript::shown().front().kind, plat::DialogRecord::Beep);
    EXPECT_EQ(outbox.size(), 0u);
}

TEST_F(NetPlay, AnOrderlyCloseFreesTheSeatForTheNextPeer) {
    connectAndDeal();
    clicksBlocked = true;
    clickBusy = true;
    sounds().clear();
    peer->close();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    settle();
    EXPECT_EQ(sounds(), std::vector<std::string>{"conlost"});
    EXPECT_EQ(form->BitBtn1->caption(), "Geen Verbinding");
    EXPECT_EQ(form->BitBtn1->kind(), plat::BitBtn::bkNo);
    EXPECT_TRUE(form->Start1->enabled());
    EXPECT_FALSE(clicksBlocked);
    EXPECT_FALSE(clickBusy);
    EXPECT_FALSE(form->FileListenItem->checked());
    EXPECT_TRUE(messages().empty());

    std::unique_ptr<Peer> next;
    ASSERT_TRUE(pumpUntil([&] {
        next = Peer::connectTo(form->IdTCPServer1->boundPort());
        return next && pumpUntil([] { return plat::notifyIdle(); }) && connected.load();
    }));
}

TEST_F(NetPlay, ABrokenConnectionShowsTheTwoErrorMessages) {
    connectAndDeal();
    peer->sendRaw(" o");  // cut off in the middle of a line
    peer->close();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    settle();
    EXPECT_EQ(messages(), (std::vector<std::string>{"500-Onbekende Interne Fout",
                                                    "500 Connection Closed Gracefully."}));
    plat::DialogScript::clear();

    auto again = Peer::connectTo(form->IdTCPServer1->boundPort());
    ASSERT_TRUE(pumpUntil([] { return connected.load(); }));
    again->reset();
    ASSERT_TRUE(pumpUntil([] { return !connected.load(); }));
    settle();
    const std::vector<std::string> resetPair = {"500-Onbekende Interne Fout",
                                                "500 Socket Error # 104 Connection reset by peer."};
    EXPECT_EQ(messages(), resetPair);

    // Connection after connection broken while the boxes still wait (the loop does not run
    // here): one pair, not one for each.
    plat::DialogScript::clear();
    auto backlogReaches = [](std::size_t n) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (plat::notifyBacklog() < n && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return plat::notifyBacklog() >= n;
    };
    for (int i = 0; i < 15; ++i) {
        const std::size_t before = plat::notifyBacklog();
        auto flood = Peer::connectTo(form->IdTCPServer1->boundPort());
        ASSERT_TRUE(flood);
        const bool served = backlogReaches(before + 1);  // its connect effects are queued
        flood->reset();
        if (served) backlogReaches(before + 2);                     // and its end
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the seat is freed
    }
    settle();
    EXPECT_EQ(messages(), resetPair);
}

TEST_F(NetPlay, AThirdCopyIsTurnedAwayUnnoticed) {
    connectAndDeal();
    sounds().clear();
    auto third = Peer::connectTo(form->IdTCPServer1->boundPort(), "127.0.0.4");
    ASSERT_TRUE(third);
    EXPECT_TRUE(third->closedByGame());
    form->Image1Click(form->images[7]);
    EXPECT_EQ(peer->readLine(), click(7, 'o'));  // the game goes on with the first peer
    settle();
    EXPECT_TRUE(connected);
    EXPECT_TRUE(sounds().empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(NetPlay, APeerOnTheSameAddressClosesTheProgram) {
    int port = listen();
    peer = Peer::connectTo(port, "127.0.0.1");
    ASSERT_TRUE(pumpUntil([&] { return form->closeRequested; }));
    // The tick would end this test program: stop it before the loop runs again.
    EXPECT_TRUE(form->Timer1->enabled());
    form->Timer1->setEnabled(false);
    EXPECT_EQ(messages(), std::vector<std::string>{"Niet vals spelen..programma gaat sluiten"});
    EXPECT_TRUE(connected);
}

// F3 starts "chat.exe" from the PATH each time, and never a program of another name: on
// Debian `chat` is the modem dialler.
TEST_F(NetPlay, ChatStartsOnlyChatExe) {
    namespace fs = std::filesystem;
    const fs::path bin = fs::current_path() / "chatbin";
    fs::create_directories(bin);
    auto makeProgram = [](const fs::path& p) {
        std::ofstream(p) << "#!/bin/sh\n";
        fs::permissions(p, fs::perms::owner_all);
    };
    makeProgram(bin / "chat");
    struct Restore {
        fs::path bin;
        std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
        ~Restore() {
            fs::remove_all(bin);  // a later run finds no chat.exe of this one
            setenv("PATH", path.c_str(), 1);
            plat::ShellRecorder::enable(false);
            plat::ShellRecorder::clear();
        }
    } restore{bin};
    setenv("PATH", bin.c_str(), 1);
    plat::ShellRecorder::clear();
    plat::ShellRecorder::enable(true);

    form->OpenChatexe1Click();
    EXPECT_TRUE(plat::ShellRecorder::started().empty());

    makeProgram(bin / "chat.exe");
    form->OpenChatexe1Click();
    form->OpenChatexe1Click();
    const std::string chatExe = (bin / "chat.exe").string();
    EXPECT_EQ(plat::ShellRecorder::started(), (std::vector<std::string>{chatExe, chatExe}));
    EXPECT_TRUE(messages().empty());
}
