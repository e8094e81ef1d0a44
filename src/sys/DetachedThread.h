#pragma once
// Fire-and-forget threads: started running, never joined, gone when their
// work ends. The work owns everything it touches.

#include <functional>

namespace lumora {

// Runs Work on a new thread. An exception leaving Work ends that thread
// quietly. False when no thread could be made; Work is then not run.
bool StartDetachedThread(std::function<void()> Work);

}  // namespace lumora
