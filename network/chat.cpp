// The chat program beside the game: started, never watched.
#include "game/zwiunit1.h"
#include "platform/shell.h"

namespace game {

void TForm1::OpenChatexe1Click() {
    plat::startProgram("chat.exe");  // missing: nothing happens, nothing is shown
}

}  // namespace game
