// Damaged saved games: the input is cut into a game file, a move record and a players file,
// which go through the decoders and then through the window's real loader.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "game/savefiles.h"
#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace {

game::TForm1* form = nullptr;
std::filesystem::path scratch;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Two length bytes in front say where the first two files end; the rest is the third.
void split(const std::uint8_t* data, std::size_t size, std::string part[3]) {
    if (size < 2) return;
    std::size_t a = std::min<std::size_t>(static_cast<std::size_t>(data[0]) * 4, size - 2);
    std::size_t b = std::min<std::size_t>(static_cast<std::size_t>(data[1]) * 16, size - 2 - a);
    const char* p = reinterpret_cast<const char*>(data) + 2;
    part[0].assign(p, a);
    part[1].assign(p + a, b);
    part[2].assign(p + a + b, size - 2 - a - b);
}

void checkDecoders(const std::string part[3]) {
    using namespace game::savefiles;
    for (auto [cards, pairs] : {std::pair{60, 30}, std::pair{48, 24}}) {
        const GameFileRead r = decodeGameFile(part[0], cards, pairs);
        for (auto v : r.game.board) require(v >= 0 && v <= cards, "board value");
        require(r.game.score1 >= 0 && r.game.score1 <= pairs, "score");
        require(r.game.seconds >= 0 && r.game.seconds <= kMaxCount, "seconds");
    }
    std::int32_t log[game::kLogSize + 1];
    log[game::kLogSize] = 0x5A5A5A5A;
    const int n = decodeMoveLog(part[1], log, game::kLogSize);
    require(n >= 0 && n <= game::kLogSize + 1 && log[game::kLogSize] == 0x5A5A5A5A, "record size");
    if (auto p = decodePlayers(part[2]))
        require(p->caption1.size() <= 15 && p->caption2.size() <= 15, "caption");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    scratch = std::filesystem::temp_directory_path() / ("zwfuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(scratch, ec);
    });
    plat::Application::initialize(*argc, *argv);
    plat::DialogScript::enable(true);
    // zwirlo3: its pictures are built in, so no library is needed.
    form = new game::TForm1(game::zwirlo3Variant(), game::FormOptions{false, 0, false});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string part[3];
    split(data, size, part);
    checkDecoders(part);

    plat::writeFileReplacing("zwi16game.dat", part[0]);
    plat::writeFileReplacing("zwi16repl.dat", part[1]);
    plat::writeFileReplacing("zwi16play.dat", part[2]);
    // Now and then no record at all: a missing file must be as harmless as a damaged one.
    if (size % 7 == 0) std::remove("zwi16repl.dat");
    ZwiUnit1::connected = size % 3 == 0;
    form->Load1Click();
    ZwiUnit1::outbox.clear(ZwiUnit1::sendPending);
    plat::DialogScript::clear();

    require(form->logLength >= 0 && form->logLength <= game::kLogSize, "logLength");
    require(form->logPos == form->logLength, "logPos");
    for (int p = 0; p < form->N; ++p)
        require(form->board[p] >= 0 && form->board[p] <= form->N, "loaded board");
    require(form->Label1->caption().size() <= 15 && form->Label3->caption().size() <= 15,
            "captions");
    return 0;
}
