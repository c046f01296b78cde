#pragma once
// Bringing another running copy's window forward. A copy's handle is its process id; the
// copy listens for requests on a socket named after it and serves them on its main thread
// by restoring and raising its main form.
#include <cstdint>

namespace plat {

class Form;

// This copy's handle, as another copy passes it to bringForward(). The first call starts
// listening (call it on the main thread, after Application::initialize()).
std::uint32_t raiseHandle();

// The form a request brings forward. Clear it (nullptr) before that form goes away.
// Without one, the program's visible main window is used.
void setMainFormForRaise(Form* form);
Form* mainFormForRaise();

// Asks the copy behind the handle to restore its window if it is minimised and bring it
// to the front. False when no copy of ours listens there; never blocks.
bool bringForward(std::uint32_t handle);

// Requests this copy has served. When the environment names a file in ZW_TRACE_RAISE,
// each one also appends a line "raised <pid>" to it.
int raiseRequestsServed();

}  // namespace plat
