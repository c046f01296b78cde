// Saving the game on the table to its three files, and loading it back.
#include <algorithm>
#include <cerrno>
#include <string>

#include "game/savefiles.h"
#include "game/steps.h"
#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/files.h"

namespace game {
namespace {

using namespace savefiles;

void check(int err) {
    if (err) throw plat::InOutError(plat::ioErrorText(err), plat::ioErrorCode(err));
}

// Creates, fills and closes one file beside its target; the target is replaced later,
// together with the other two.
void stage(plat::StagedFile& file, const std::string& name, const std::string& bytes) {
    check(file.create(name));
    check(file.write(bytes));
    check(file.close());
}

// Each file is read up to the largest size its layout allows; anything after that is not
// part of the saved game, so a longer file loads as far as that size.
bool readSaved(const std::string& name, std::string& bytes, std::size_t size) {
    const int err = plat::readFile(name, bytes, size);
    return err == 0 || err == EFBIG;
}

using plat::enable;

}  // namespace

// The three files are written beside their targets and only moved into place once all three
// are complete, so a failed save leaves the earlier saved game whole. That moves the moment
// the files change to the end, and "&Opslaan" is disabled only after that, so that a save
// that failed can be tried again. The file names are still taken as each file is opened.
void TForm1::Save1Click() {
    const bool solo = Solo1->checked();
    auto complete = [&](std::int32_t s1, std::int32_t s2) {
        return (s1 + s2 == P && !solo) || (s1 == P && solo);
    };

    plat::StagedFile gameFile, logFile, playersFile;
    {
        const std::string name = gameFileName(cardSet().fileNumber);
        GameFile g;
        const bool done = complete(LabelValue(Label2), LabelValue(Label4));
        const auto& source = done ? startBoard : board;
        g.board.assign(source.begin(), source.begin() + N);
        g.startScoreMe = startScoreMe;
        g.startScoreOpp = startScoreOpp;
        g.score1 = LabelValue(Label2);
        g.score2 = LabelValue(Label4);
        g.solo = solo ? 1 : 0;
        elapsedSeconds = LabelValue(Label5);
        g.seconds = elapsedSeconds;
        stage(gameFile, name, encodeGameFile(g));
    }

    ZwiUnit1::twoCardsUp = false;
    cardsUp = 0;
    oppLastTurnedPicture = 0;

    {
        const std::int32_t s1 = LabelValue(Label2), s2 = LabelValue(Label4);
        const std::string name = moveLogFileName(cardSet().fileNumber);
        // Unfinished two-player games keep no record: the file is rewritten empty.
        const bool withRecord = (s1 + s2 == P && !solo) || solo;
        stage(logFile, name,
              withRecord ? encodeMoveLog(moveLog.data(), logLength, kLogSize) : std::string());
    }

    plat::Application::processMessages();

    {
        PlayersRecord r;
        r.caption1 = Label1->caption();
        r.caption2 = Label3->caption();
        r.hotSeat = hotSeat;
        r.playerOneToMove = playerOneToMove;
        stage(playersFile, playersFileName(cardSet().fileNumber), encodePlayers(r));
    }

    check(plat::commitStaged({&gameFile, &logFile, &playersFile}));
    Save1->setEnabled(false);
}

// Every failure while reading ends the reading silently; the closing steps always run.
void TForm1::Load1Click() {
    // All three files are read before anything is shown, under the folder's lock, so that
    // another copy's save can never come between them. A lock that cannot be had reads as
    // files that cannot be read.
    const int n = cardSet().fileNumber;
    std::string gameBytes, logBytes, playersBytes;
    bool gameRead = false, logRead = false, playersRead = false;
    {
        plat::DataLock lock;
        if (lock.acquire() == 0) {
            plat::finishStagedWrites();  // a save cut short by a kill is whole again first
            gameRead = readSaved(gameFileName(n), gameBytes, static_cast<std::size_t>(N + 6) * 4);
            logRead =
                readSaved(moveLogFileName(n), logBytes, static_cast<std::size_t>(kLogSize + 1) * 4);
            playersRead = readSaved(playersFileName(n), playersBytes, kPlayersRecordSize);
        }
    }
    // Before the message box, whose loop would deliver a pending tick.
    BeginTable();
    savedScores = {0, 0, 0, 0};
    ListBox1->setVisible(false);
    ListBox2->setVisible(false);

    myLastPos = myLastPicture = myTurnedBack = 0;
    oppLastPos = oppLastPicture = oppTurnedBack = 0;
    cardsUp = oppLastTurnedPicture = lastClickedPos = prevPos = 0;
    ZwiUnit1::twoCardsUp = false;

    bool scoresRead = false;
    std::int32_t s1 = 0, s2 = 0, f = 0;

    auto read = [&] {
        if (!gameRead) return;
        const GameFileRead r = decodeGameFile(gameBytes, N, P);
        if (r.empty || !r.boardRead) return;
        std::copy(r.game.board.begin(), r.game.board.end(), loadedBoard.begin());
        if (!r.scoresRead) return;
        const std::int32_t m = r.game.startScoreMe, o = r.game.startScoreOpp;
        s1 = r.game.score1;
        s2 = r.game.score2;
        f = r.game.solo;
        scoresRead = true;

        const bool soloLabels = f > 0;
        Solo1->setChecked(soloLabels);
        Label3->setCaption(soloLabels ? "Klikken:" : "Tegenspeler:");
        if (soloLabels) ZwiUnit1::clicksBlocked = false;
        Label5->setVisible(soloLabels);
        Label7->setVisible(soloLabels);
        Label8->setVisible(soloLabels);

        if (!r.secondsRead) return;
        elapsedSeconds = r.game.seconds;
        SetLabelValue(Label5, elapsedSeconds);

        if (s1 + s2 == P) enableNewGameItems(*this);

        if (f == 0 && !ZwiUnit1::connected) {
            enable(Send1, false);
            ZwiUnit1::clicksBlocked = true;
            plat::showMessage(
                "Probeer eerst te verbinden & laad dan opnieuw als je het spel wilt verzenden!");
        }

        for (int p = 0; p < N; ++p) {
            const auto i = static_cast<std::size_t>(p);
            foundByMe[i] = false;
            foundByOpponent[i] = false;
            board[i] = loadedBoard[i];
            startBoard[i] = loadedBoard[i];
            faceDown[i] = true;
        }
        startScoreMe = m;
        startScoreOpp = o;
        SetLabelValue(Label2, s1);
        SetLabelValue(Label4, s2);

        // A finished solo game keeps its pictures on show.
        const bool finishedSolo = s1 == P && Solo1->checked();
        for (int p = 0; p < N; ++p) {
            const std::int32_t v = board[static_cast<std::size_t>(p)];
            if (v == 0)
                PaintCard(p, "void");
            else if (!finishedSolo)
                PaintCard(p, "card");
        }

        logPos = 0;
        logLength = 0;
        if (!logRead) return;
        if (!logBytes.empty() && ((s1 + s2 == P && f == 0) || (f == 1 && s1 == P))) {
            // The record is kept whole, whatever it holds, so that a save writes it back as
            // it was: the replay holds at a code it does not know and skips a position off
            // the board. Stray bytes after the last whole value are left out.
            const int values = decodeMoveLog(logBytes, moveLog.data(), kLogSize);
            if (values > 0) logLength = logPos = values - 1;
        }

        if (ZwiUnit1::connected && !Solo1->checked()) Zend();

        if (!playersRead) return;
        // An empty (or short) players file holds no record: captions, hotSeat, mover and
        // colours stay as they were, as for a missing file.
        const auto players = decodePlayers(playersBytes);
        if (!players) return;
        Label1->setCaption(players->caption1);
        Label3->setCaption(players->caption2);
        hotSeat = players->hotSeat && !ZwiUnit1::connected;
        playerOneToMove = players->playerOneToMove;
        if (hotSeat) ZwiUnit1::clicksBlocked = false;
        if (!Solo1->checked() && !ZwiUnit1::connected) {
            if (playerOneToMove)
                ColourPlayers(plat::clLime, plat::clRed);
            else
                ColourPlayers(plat::clRed, plat::clLime);
        }
    };
    try {
        read();
    } catch (const plat::Exception&) {
        // A file that cannot be read ends the reading without a word.
    }

    if (scoresRead && ((s1 + s2 == P && f == 0) || (f > 0 && s1 == P))) {
        ZwiUnit1::clicksBlocked = false;
        Replay1->setEnabled(true);
        ColourPlayers(plat::clWindowText, plat::clWindowText);
    }
    ZwiUnit1::clickBusy = false;
    restartRecording = true;
    Save1->setEnabled(true);
    if (Solo1->checked()) Timer5->setEnabled(true);
}

}  // namespace game
