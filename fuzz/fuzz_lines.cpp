// Arbitrary bytes from a peer: cut into lines in arbitrary chunks and dispatched to a
// window. Whatever arrives, nothing may read outside a line or the board.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

namespace {

game::TForm1& window() {
    static game::TForm1* form = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        static int argc = 1;
        static char name[] = "fuzz_lines";
        static char* argv[] = {name, nullptr};
        plat::Application::initialize(argc, argv);
        plat::DialogScript::enable(true);  // the game message's box must not block
        plat::SoundRecorder::enable(false);
        return new game::TForm1(game::zwirlo60Variant(),
                                {.listen = false, .port = 0, .instanceGuard = false});
    }();
    return *form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    game::TForm1& form = window();
    // Each run starts from a dealt board with the turn open.
    std::vector<std::int32_t> board(60);
    for (int p = 0; p < 60; ++p) board[static_cast<std::size_t>(p)] = p / 2 + 1;
    ZwiUnit1::clickBusy = false;
    form.ClientSocket1Read(network::BoardMessage(board.data(), 60));
    if (size == 0) return 0;

    // The first byte picks the chunk size, so splits fall anywhere.
    const std::size_t chunk = data[0] % 17 + 1;
    network::LineSplitter splitter;
    std::string line;
    for (std::size_t i = 1; i < size; i += chunk) {
        splitter.feed(
            std::string_view(reinterpret_cast<const char*>(data + i), std::min(chunk, size - i)));
        if (splitter.overflowed()) break;  // the connection would end here
        while (splitter.next(line)) {
            // Let the peer's actions through now and then, as when the turn passes.
            ZwiUnit1::clickBusy = !line.empty() && (line[0] & 1);
            form.ClientSocket1Read(line);
        }
    }
    plat::DialogScript::clear();
    return 0;
}
