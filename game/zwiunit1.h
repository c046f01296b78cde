#pragma once
// The game table: one main-window class whose event handlers hold the behaviour and whose
// plain fields hold the state. Controls, fields and handlers keep the window's own names
// (TForm1, Label1, Image1Click, Timer3 ...), so the code reads like the window it drives.
// Handler bodies live in topic files: form.cpp (window, start-up), cards.cpp (pictures,
// hints, card sets), newgame.cpp, click.cpp, timers.cpp, replay.cpp, demo.cpp,
// savegame.cpp, halloffame.cpp, and in network/ (dispatcher, server, client, transfer).
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/cardsets.h"
#include "game/moverecord.h"
#include "network/outbox.h"
#include "platform/controls.h"
#include "platform/resources.h"
#include "platform/tcp.h"

namespace instance {
class TsngInstanceControl;
}

namespace game {

// What differs between the two programs.
struct Variant {
    bool zwirlo3;              // false: zwirlo60
    const char* formName;      // window description resource ("zwirlo60.form")
    const char* appTitle;      // application title, message box titles
    const char* startCaption;  // window caption at start-up (title + copyright)
    const char* aboutProduct;
    const char* aboutVersion;
    int cardCount, pairCount, cols;
    const plat::ResourceEntry* resources;  // the program's compiled-in resources
    std::size_t resourceCount;
};
// Each in a file of its own, so a program links only its own resources.
const Variant& zwirlo60Variant();
const Variant& zwirlo3Variant();
// Makes the variant's compiled-in resources the program's own (window description,
// sounds, zwirlo3's pictures) and names the game's data files to the platform's tidying.
// The main block calls it first; so does every TForm1.
void InstallResources(const Variant& variant);

// The deal's clock: every single draw seeds the generator from it. Tests feed it.
class DealClock {
public:
    virtual ~DealClock() = default;
    virtual std::uint32_t counter() = 0;
};

// How a window is built: the real programs listen on 1200 and run the instance guard;
// tests switch either off or pick another port.
struct FormOptions {
    bool listen = true;
    int port = 1200;
    bool instanceGuard = true;
};

class TForm1;

}  // namespace game

// Unit-level variables, shared by the game table and the network threads.
namespace ZwiUnit1 {
extern game::TForm1* Form1;
extern network::Outbox outbox;              // the lines waiting for the peer
extern std::atomic<bool> sendPending;       // outbox holds a line not yet written
extern std::atomic<bool> clicksBlocked;     // card clicks are ignored
extern std::atomic<bool> clickBusy;         // this side holds the turn; peer clicks dropped
extern bool twoCardsUp;                     // two cards up: further turn-ups refused
extern std::atomic<bool> connected;         // a peer is connected
extern bool timer3Busy, timer4Busy;         // re-entry guards of the cover and clear steps
extern const unsigned char* yourScoreWave;  // kept copy of "yourscore"; null when missing

// The unit's start-up step: finds and keeps "yourscore".
void initialization();
// PostToPeer: queue a line for the peer (in every mode, connected or not).
void PostToPeer(const std::string& line);
// Exchanges two integers (the kept scores of Solo1Click).
void SwapPair(std::int32_t& a, std::int32_t& b);
}  // namespace ZwiUnit1

namespace game {

class TAboutBox;

class TForm1 : public plat::Form {
public:
    // Builds the window from its description, runs the components' load steps (instance
    // guard, then the server) and then FormCreate. Form1 is set before FormCreate runs.
    TForm1(const Variant& variant, const FormOptions& options = {});
    ~TForm1() override;

    const Variant& variant;
    const FormOptions options;
    const int N;  // card count
    const int P;  // pair count

    // ---- controls (names from the window description) ----
    std::vector<plat::Image*> images;  // Image1 .. in position order; images[p]->tag == p
    plat::Label *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
                *Label5 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    plat::SpeedButton* SpeedButton1 = nullptr;
    plat::BitBtn* BitBtn1 = nullptr;
    plat::Button *Button1 = nullptr, *Button2 = nullptr;
    plat::ListBox *ListBox1 = nullptr, *ListBox2 = nullptr;
    plat::Timer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr, *Timer4 = nullptr,
                *Timer5 = nullptr;
    plat::MenuItem *OpenChatexe1 = nullptr, *Load1 = nullptr, *Save1 = nullptr,
                   *FileListenItem = nullptr, *Connect1 = nullptr, *Disconnect1 = nullptr,
                   *Exit1 = nullptr, *Solo1 = nullptr, *AutomaticClear1 = nullptr,
                   *Start1 = nullptr, *Send1 = nullptr, *ShowDemo1 = nullptr, *Replay1 = nullptr,
                   *changeinterval1 = nullptr, *HallOfFame1 = nullptr, *clicks1 = nullptr,
                   *time1 = nullptr, *animals1 = nullptr, *birds1 = nullptr, *ShowHint1 = nullptr,
                   *About1 = nullptr;
    std::unique_ptr<plat::TcpServer> IdTCPServer1;
    std::unique_ptr<plat::TcpClient> Client;
    std::unique_ptr<instance::TsngInstanceControl> sngInstanceControl1;
    std::vector<std::unique_ptr<plat::Control>> controls;  // owner of the controls above
    std::vector<std::unique_ptr<plat::Timer>> timers;

    // ---- per-position fields ----
    std::array<bool, kMaxCards> faceDown{};
    std::array<std::int32_t, kMaxCards> board{};
    std::array<std::int32_t, kMaxCards> startBoard{};
    std::array<std::int32_t, kMaxCards> loadedBoard{};
    std::array<bool, kMaxCards> foundByMe{};
    std::array<bool, kMaxCards> foundByOpponent{};
    std::array<std::int32_t, kMaxCards + 1> dealPool{};    // indexed 1 .. N
    std::array<std::int32_t, kMaxPairs + 1> dealChosen{};  // indexed 1 .. P
    std::array<std::int32_t, kLogSize> moveLog{};

    // ---- single fields ----
    std::int32_t myLastPicture = 0, myLastPos = 0, oppLastPicture = 0, oppLastPos = 0;
    std::int32_t myTurnedBack = 0, oppTurnedBack = 0, cardsUp = 0, prevPos = 0, lastClickedPos = 0;
    std::int32_t delayInterval = 0;
    std::int32_t oppLastTurnedPicture = 0;
    std::int32_t sweepStep = 0;
    std::int32_t logPos = 0, logLength = 0;
    std::int32_t startScoreMe = 0, startScoreOpp = 0;
    std::int32_t elapsedSeconds = 0;
    plat::Module pictureLibrary = 0;  // zwirlo60: the loaded picture library
    bool hofShowsClicks = false;      // zwirlo60: the clicks list was shown last
    std::string hostAddress;
    bool closeRequested = false;
    bool replayRunning = false;
    bool hofVisible = false;
    bool restartRecording = false;
    bool hotSeat = false;
    bool playerOneToMove = false;
    bool replayingPairStep = false;
    // The second half of a cover or clear entry while the replay applies its first half. A
    // card click or a new table inside that half's message pump lets the entry finish first,
    // so that it meets the table the record describes.
    std::optional<std::int32_t> replayHalfPending;
    // Counts the tables begun (BeginTable); a step that pumps messages compares it to see
    // whether its table is still the one on show.
    unsigned tableGeneration = 0;
    std::array<std::int32_t, 4> savedScores{};
    // The last line dispatched was a board: only a game line right after it is taken, on
    // whichever connection it comes (a peer that reconnected still sends the scores of the
    // board it sent before).
    bool lastLineWasBoard = false;

    // ---- test seams ----
    DealClock* dealClock = nullptr;  // null: the platform's performance counter

    // ---- window (form.cpp) ----
    void FormCreate();
    void FormClose();
    void FormClick();
    void FormActivate();
    void FormDeactivate();
    void Exit1Click();
    void About1Click();

    // ---- card sets, pictures, hints (cards.cpp) ----
    const CardSetConfig& cardSet() const;  // the set in use now
    plat::Module pictureModule() const;    // library (zwirlo60) or the program
    void PaintCard(int position, const std::string& bitmapName);
    void PaintCard(int position, const plat::Bitmap& bmp);  // a bitmap loaded once
    void SetCardHint(int position);
    std::string FHint(std::int32_t picture) const;
    void ShowHint1Click();
    void animals1Click();
    void birds1Click();

    // ---- move record (newgame.cpp) ----
    void LogMove(std::int32_t code, std::int32_t position);                    // card-action form
    void LogMove(std::int32_t code, std::int32_t first, std::int32_t second);  // pair form
    void RestartRecordingStep();

    // ---- what every beginning shares (newgame.cpp) ----
    // Called by each handler that begins a table, before its own steps: a new game
    // (Start1Click), a load (Load1Click), a board from the peer (ClientSocket1Read), a game
    // sent to it (Send1Click), a replay (Replay1Click) and the demonstration (ShowDemo1Click).
    // The steps still pending finish on the table they belong to, a running replay or
    // demonstration ends and gives back the items it took away. A command that finds it has
    // nothing to begin ("Zend" without a peer, a replay of an empty record) does not call it:
    // it leaves the pending steps to their time and only stops the replay and the sweep.
    void BeginTable();
    void StopReplayAndSweep();

    // ---- new game (newgame.cpp) ----
    void Start1Click();
    void Button1Click();
    void Solo1Click();
    void Deal(bool demonstration);
    std::int32_t Draw(std::int32_t n);  // one seeded draw in 0 .. n-1

    // ---- card click (click.cpp) ----
    void Image1Click(plat::Image* sender);
    int OpenCount() const;
    void ApplyMoverColours();

    // ---- timers (timers.cpp) ----
    void Timer3Timer();
    void Timer4Timer();
    void Timer5Timer();
    void changeinterval1Click();
    void DrawPlaceLocked(int position, const plat::Bitmap& bmp);
    // The cover and clear steps still due run at once, on the table they were started for.
    void CompletePendingSteps();

    // ---- hall of fame (halloffame.cpp) ----
    void HallOfFame1Click();
    void time1Click();
    void clicks1Click();
    void TopTenEntry();  // the top-10 step at the end of a solo game
    void HallOfFameReshow();

    // ---- replay (replay.cpp) ----
    void Replay1Click();
    void Timer1Timer();
    // The replay is over: Timer1 stops and the items it took away come back.
    void EndReplay();
    // The replay ends part-way and the player goes on from the table as it stands.
    void HandOverReplay();
    // Applies the second half of the entry being replayed, if one is still due.
    void FinishReplayEntry();
    void Demo(std::int32_t position);
    void Demo2(std::int32_t position);

    // ---- demonstration (demo.cpp) ----
    void ShowDemo1Click();
    void Timer2Timer();
    void Demo3(std::int32_t position);

    // ---- saved games (savegame.cpp) ----
    void Save1Click();
    void Load1Click();

    // ---- network (network/) ----
    void ClientSocket1Read(const std::string& line);
    void FileListenItemClick();
    void IdTCPServer1Connect(plat::TcpConnection& connection);
    void IdTCPServer1Execute(plat::TcpConnection& connection);
    void IdTCPServer1Disconnect(plat::TcpConnection& connection);
    void FileConnectItemClick();
    void ClientConnected();
    void ClientDisconnected();
    void Disconnect1Click();
    void OpenChatexe1Click();
    void Zend();
    void Send1Click();

    // Label captions as integers (the scores live there as decimal text).
    static std::int32_t LabelValue(const plat::Label* label);
    static void SetLabelValue(plat::Label* label, std::int32_t value);
    // The mover's font colours (both labels of a player at once).
    void ColourPlayers(plat::Color one, plat::Color two);

private:
    void LoadDescription();
};

// The About box: shown modally, freshly made each time.
class TAboutBox : public plat::Form {
public:
    explicit TAboutBox(const Variant& variant);
    plat::Image* ProgramIcon = nullptr;
    plat::Label *ProductName = nullptr, *Version = nullptr, *Copyright = nullptr,
                *Comments = nullptr;
    plat::Button* OKButton = nullptr;

private:
    std::vector<std::unique_ptr<plat::Control>> controls_;
};

}  // namespace game
