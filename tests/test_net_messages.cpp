// Peer lines, framing, the outbox and the dispatcher's rules, without a socket.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "game/zwiunit1.h"
#include "network/messages.h"
#include "network/outbox.h"
#include "platform/dialogs.h"

using namespace network;

namespace {

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

// Every line fed through the splitter in pieces of the given sizes.
std::vector<std::string> split(const std::string& stream, std::size_t piece) {
    LineSplitter s;
    std::vector<std::string> out;
    std::string line;
    for (std::size_t i = 0; i < stream.size(); i += piece) {
        s.feed(std::string_view(stream).substr(i, piece));
        while (s.next(line)) out.push_back(line);
    }
    return out;
}

}  // namespace

TEST(NetMessages, BuildersMatchTheWireFormat) {
    std::array<std::int32_t, 60> board{};
    for (int p = 0; p < 60; ++p) board[p] = p + 1;
    board[5] = 0;
    std::string b = BoardMessage(board.data(), 60);
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(b[0], '!');
    EXPECT_EQ(b[59], '\\');
    EXPECT_EQ(b[5], ' ');
    EXPECT_EQ(BoardMessage(board.data(), 48).size(), 48u);

    EXPECT_EQ(ClickMessage(0, 'o'), " o");
    EXPECT_EQ(ClickMessage(59, 'd'), "[d");
    EXPECT_EQ(ClickMessage(47, 'z'), "Oz");

    // Receiver's score first, raw: 7 and 12 -> "?" 7 12; 0 travels as byte 0.
    EXPECT_EQ(GameMessage(7, 12), bytes({'?', 7, 12}));
    EXPECT_EQ(GameMessage(0, 0), bytes({'?', 0, 0}));
    EXPECT_EQ(GameMessage(9, 12), bytes({'?', 9, 12}));
}

// Only what the framing would cut travels as score + 128: a 10 in either byte, a 13 in the
// last one. A 13 in the first byte goes raw, so an older copy reads it as it is.
TEST(NetMessages, EveryScoreSurvivesTheFraming) {
    for (int a = 0; a <= 30; ++a) {
        for (int b = 0; b <= 30; ++b) {
            std::string line = GameMessage(a, b);
            int first = a == 10 ? 138 : a;
            int last = b == 10 || b == 13 ? b + 128 : b;
            ASSERT_EQ(line, bytes({'?', first, last})) << a << " " << b;
            auto lines = split(frame(line), 1);
            ASSERT_EQ(lines.size(), 1u) << a << " " << b;
            auto scores = parseGame(lines[0]);
            ASSERT_TRUE(scores) << a << " " << b;
            EXPECT_EQ(scores->mine, a);
            EXPECT_EQ(scores->theirs, b);
        }
    }

    // Lines as an older copy frames them, every score raw: a trailing 13 still reads here,
    // and the pieces of a line cut by a raw 10 are neither a game nor a click.
    auto scores = parseGame(split(frame(bytes({'?', 5, 13})), 1).at(0));
    ASSERT_TRUE(scores);
    EXPECT_EQ(scores->mine, 5);
    EXPECT_EQ(scores->theirs, 13);
    for (const auto& piece : {bytes({'?', 10, 5}), bytes({'?', 5, 10})}) {
        auto lines = split(frame(piece), 1);
        ASSERT_EQ(lines.size(), 2u);
        for (const auto& l : lines) {
            EXPECT_FALSE(parseGame(l));
            EXPECT_FALSE(parseClick(l, 60));
        }
    }
}

// Every length 0..50 against every first character: the order of the checks matters
// ('?' of length 3 is a game; '?' at 45 is a board; a 3-byte line without '?' is a click).
TEST(NetMessages, ClassifiesByLengthThenFirstCharacter) {
    for (std::size_t len = 0; len <= 50; ++len) {
        for (int first = 0; first < 256; ++first) {
            std::string line(len, 'x');
            if (len > 0) line[0] = static_cast<char>(first);
            LineKind want = LineKind::Click;
            if (len == 3 && first == '?')
                want = LineKind::Game;
            else if (len >= 45)
                want = LineKind::Board;
            ASSERT_EQ(classify(line), want) << len << " " << first;
        }
    }
}

TEST(NetMessages, ParsesOnlyClicksACopySends) {
    EXPECT_EQ(parseClick(" o", 60)->position, 0);
    EXPECT_EQ(parseClick("[z", 60)->position, 59);
    EXPECT_EQ(parseClick("Ob", 48)->letter, 'b');
    EXPECT_FALSE(parseClick("", 60));
    EXPECT_FALSE(parseClick(" ", 60));
    EXPECT_FALSE(parseClick(" ox", 60));             // 3 bytes, not a game line
    EXPECT_FALSE(parseClick("\\o", 60));             // position 60
    EXPECT_FALSE(parseClick("Po", 48));              // position 48 in the 48-card game
    EXPECT_FALSE(parseClick(bytes({31, 'o'}), 60));  // below the board
    EXPECT_FALSE(parseClick(bytes({200, 'o'}), 60));
    EXPECT_FALSE(parseClick(" x", 60));
    EXPECT_FALSE(parseClick(" O", 60));
    EXPECT_FALSE(parseGame("?a"));
    EXPECT_FALSE(parseGame("!ab"));
}

TEST(NetMessages, SplitterCutsAtLfAndDropsOneCr) {
    std::string stream =
        "a\r\n" + std::string("b\r\r\n") + "c\n" + "\r\n" + bytes({0, 'x', 0}) + "\r\n" + "\rd\r\n";
    std::vector<std::string> want = {"a", "b\r", "c", "", bytes({0, 'x', 0}), "\rd"};
    for (std::size_t piece : {1u, 2u, 3u, 7u, 1000u}) EXPECT_EQ(split(stream, piece), want);

    LineSplitter s;
    std::string line;
    s.feed("abc\r");
    EXPECT_FALSE(s.next(line));
    EXPECT_FALSE(s.empty());
    s.feed("\ndef");
    ASSERT_TRUE(s.next(line));
    EXPECT_EQ(line, "abc");
    EXPECT_EQ(s.buffered(), 3u);
}

TEST(NetMessages, SplitterRefusesLinesPastTheLimit) {
    {
        LineSplitter s;
        std::string line;
        s.feed(std::string(kMaxLineBytes, 'a') + "\n");
        EXPECT_FALSE(s.overflowed());
        ASSERT_TRUE(s.next(line));
        EXPECT_EQ(line.size(), kMaxLineBytes);
    }
    {
        LineSplitter s;
        std::string line;
        s.feed(std::string(kMaxLineBytes, 'a'));
        EXPECT_FALSE(s.overflowed());
        s.feed("b");
        EXPECT_TRUE(s.overflowed());
        EXPECT_FALSE(s.next(line));
    }
    {
        LineSplitter s(4);
        std::string line;
        s.feed("ok\r\ntoolong\r\n");
        ASSERT_TRUE(s.next(line));
        EXPECT_EQ(line, "ok");
        EXPECT_TRUE(s.overflowed());
        EXPECT_FALSE(s.next(line));
    }
}

TEST(NetOutbox, SendsEveryLineOnceInOrder) {
    Outbox box;
    std::atomic<bool> pending{false};
    box.attach();  // a peer is served
    int woken = 0;
    box.onPosted = [&] { ++woken; };
    std::vector<std::string> sent;
    auto write = [&](const std::string& l) { sent.push_back(l); };

    EXPECT_FALSE(box.sendOne(write, pending));
    box.post(" o", pending);
    box.post("!o", pending);
    EXPECT_TRUE(pending);
    EXPECT_EQ(woken, 2);
    EXPECT_EQ(box.front(), " o");
    EXPECT_TRUE(box.sendOne(write, pending));
    EXPECT_TRUE(pending);
    EXPECT_TRUE(box.sendOne(write, pending));
    EXPECT_FALSE(pending);
    EXPECT_FALSE(box.sendOne(write, pending));
    EXPECT_EQ(sent, (std::vector<std::string>{" o", "!o"}));

    // A failed write keeps the line for the next try.
    box.post("\"b", pending);
    EXPECT_THROW(box.sendOne([](const std::string&) { throw 1; }, pending), int);
    EXPECT_TRUE(pending);
    EXPECT_EQ(box.size(), 1u);
    box.clear(pending);
    EXPECT_FALSE(pending);
    EXPECT_EQ(box.size(), 0u);
}

TEST(NetOutbox, BoardDropsOlderLinesButKeepsItsGameLine) {
    Outbox box;
    std::atomic<bool> pending{false};
    box.attach();
    std::string board(60, '!');
    box.post(" o", pending);
    box.post(board, pending);
    box.post(GameMessage(3, 4), pending);
    std::vector<std::string> sent;
    while (box.sendOne([&](const std::string& l) { sent.push_back(l); }, pending)) {
    }
    EXPECT_EQ(sent, (std::vector<std::string>{board, GameMessage(3, 4)}));

    // A board posted while an older line is being written: the older one still goes out
    // once, and is not removed in place of the board.
    box.post(" o", pending);
    sent.clear();
    box.sendOne(
        [&](const std::string& l) {
            box.post(board, pending);
            sent.push_back(l);
        },
        pending);
    EXPECT_TRUE(pending);
    EXPECT_EQ(box.front(), board);
}

// With no peer served, what waits is kept only while it still shows the table: a board
// with no card action on it since, and a game line after it. A card action then drops
// itself and everything waiting; so does a connection that ends with one unsent.
TEST(NetOutbox, ALatePeerGetsOnlyWhatStillShowsTheTable) {
    Outbox box;
    std::atomic<bool> pending{false};
    const std::string board(60, '!'), game = GameMessage(13, 10);
    std::vector<std::string> sent;
    auto drain = [&] {
        sent.clear();
        while (box.sendOne([&](const std::string& l) { sent.push_back(l); }, pending)) {
        }
        return sent;
    };

    // A game sent as the connection broke: its board and scores wait for the next peer.
    box.attach();
    box.post(board, pending);
    box.post(game, pending);
    box.detach(pending);
    box.attach();
    EXPECT_EQ(drain(), (std::vector<std::string>{board, game}));
    box.detach(pending);

    box.post(board, pending);
    for (const char* move : {" o", "!o", " b"}) box.post(move, pending);
    EXPECT_FALSE(pending);
    EXPECT_EQ(box.size(), 0u);

    // The board went out; the peer left before its scores, and a peer connecting again gets
    // them.
    box.attach();
    box.post(board, pending);
    EXPECT_EQ(drain(), std::vector<std::string>{board});
    box.detach(pending);
    box.post(game, pending);
    box.attach();
    EXPECT_EQ(drain(), std::vector<std::string>{game});

    // Served twice over (a new connection before the old one's thread has ended): one
    // leaving is not the last.
    box.attach();
    box.detach(pending);
    box.post(" o", pending);
    EXPECT_EQ(box.size(), 1u);
    box.detach(pending);  // the last one: its unsent move goes with the rest
    EXPECT_FALSE(pending);
    EXPECT_EQ(box.size(), 0u);
}

// The main thread posts while a network thread sends: each line exactly once, in order,
// and `pending` never false while a line waits (checked after the writer drains).
TEST(NetOutbox, PostAndSendFromTwoThreads) {
    Outbox box;
    std::atomic<bool> pending{false};
    box.attach();
    std::atomic<bool> done{false};
    std::vector<std::string> sent;
    std::thread sender([&] {
        auto write = [&](const std::string& l) { sent.push_back(l); };
        while (!done || box.size() > 0) box.sendOne(write, pending);
    });
    const int n = 5000;
    for (int i = 0; i < n; ++i) box.post(std::to_string(i), pending);
    done = true;
    sender.join();
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) ASSERT_EQ(sent[i], std::to_string(i));
    EXPECT_FALSE(pending);
}

// The dispatcher called as the receive thread's hand-over would: every line it applies is
// recorded before its effect, even one that changes nothing; while this side holds the
// turn the peer's card actions are dropped unrecorded, but a board still counts.
TEST(NetDispatch, TheTurnDecidesWhichPeerLinesCountAndEachOneCountedIsRecorded) {
    game::TForm1 f(game::zwirlo60Variant(), game::FormOptions{false, 0, false});
    std::array<std::int32_t, 60> board{};
    for (int p = 0; p < 60; ++p) board[p] = p / 2 + 1;
    board[4] = board[5] = 0;
    ZwiUnit1::clickBusy = true;  // boards are never dropped
    f.ClientSocket1Read(BoardMessage(board.data(), 60));
    ASSERT_EQ(f.board[59], 30);
    EXPECT_FALSE(ZwiUnit1::clickBusy);

    // The peer finds pair 1, taps the empty place, says "d" without a pair, clears card 0.
    const std::pair<int, char> lines[] = {{0, 'o'}, {1, 'd'}, {5, 'o'}, {2, 'd'}, {0, 'z'}};
    for (auto [p, letter] : lines) f.ClientSocket1Read(ClickMessage(p, letter));
    ASSERT_EQ(f.logLength, 10);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(f.moveLog[2 * i], 200) << i;
        EXPECT_EQ(f.moveLog[2 * i + 1], lines[i].first) << i;
    }
    EXPECT_EQ(f.Label4->caption(), "1");
    EXPECT_EQ(f.images[0]->pictureName(), "void");

    ZwiUnit1::clickBusy = true;
    ZwiUnit1::clicksBlocked = false;
    f.ClientSocket1Read(ClickMessage(6, 'o'));
    f.ClientSocket1Read(ClickMessage(7, 'b'));
    EXPECT_EQ(f.logLength, 10);
    EXPECT_EQ(f.images[6]->pictureName(), "card");
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
}

// A copy sends a game line only right after its board, with scores that board can hold,
// and a board only with pictures of the set in pairs: any other is ignored without a box
// or a beep, so a peer cannot pin the window with boxes or show a game that can never end.
TEST(NetDispatch, OnlyBoardsAndGameLinesACopySendsCount) {
    game::TForm1 f(game::zwirlo60Variant(), game::FormOptions{false, 0, false});
    std::array<std::int32_t, 60> board{};
    for (int p = 0; p < 60; ++p) board[p] = p / 2 + 1;
    const std::string boardLine = BoardMessage(board.data(), 60);
    auto boxes = [] { return plat::DialogScript::shown().size(); };
    plat::DialogScript::clear();

    f.ClientSocket1Read(boardLine);
    f.ClientSocket1Read(GameMessage(3, 4));
    EXPECT_EQ(boxes(), 2u);  // the beep and "Een spel is ontvangen.."
    EXPECT_EQ(f.Label2->caption(), "3");
    f.ClientSocket1Read(GameMessage(5, 6));  // a second one, no board before it
    f.ClientSocket1Read(boardLine);
    f.ClientSocket1Read(ClickMessage(0, 'o'));
    f.ClientSocket1Read(GameMessage(5, 6));  // not directly after the board
    f.ClientSocket1Read(boardLine);
    f.ClientSocket1Read(std::string("?\x7f\x7f"));  // each above the pair count
    f.ClientSocket1Read(boardLine);
    f.ClientSocket1Read(GameMessage(16, 15));  // 31 pairs of 30
    EXPECT_EQ(boxes(), 2u);
    EXPECT_EQ(f.Label2->caption(), "0");
    f.ClientSocket1Read(boardLine);
    f.ClientSocket1Read(GameMessage(18, 12));  // the whole game: still fine
    EXPECT_EQ(boxes(), 4u);
    EXPECT_EQ(f.Label2->caption(), "18");

    // Pictures above the pair count belong to the set as well: a deal draws half of it.
    std::array<std::int32_t, 60> high{};
    for (int p = 0; p < 60; ++p) high[p] = p / 2 + 31;
    high[0] = high[1] = 0;  // a pair taken
    f.ClientSocket1Read(BoardMessage(high.data(), 60));
    ASSERT_EQ(f.board[59], 60);
    const auto before = f.board;
    struct Bad {
        int a, b, picture;  // places a and b get the picture
    };
    for (Bad bad : {Bad{0, 0, 32}, Bad{2, 2, 0}, Bad{0, 1, 61}, Bad{0, 1, -1}}) {
        auto line = high;
        line[bad.a] = line[bad.b] = bad.picture;
        f.ClientSocket1Read(BoardMessage(line.data(), 60));
        f.ClientSocket1Read(GameMessage(1, 2));  // no board before it either
        EXPECT_EQ(f.board, before) << bad.a << " " << bad.picture;
    }
    EXPECT_EQ(boxes(), 4u);
    EXPECT_EQ(f.Label2->caption(), "0");
}
