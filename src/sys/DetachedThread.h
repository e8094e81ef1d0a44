#pragma once
// Fire-and-forget threads: started running, never joined, gone when their
// work ends. The work owns everything it touches.

#include <cstddef>
#include <functional>

namespace lumora {

// The stack each such thread reserves. Grab jobs and download workers are
// these threads, and overlapping drops start many of them: small stacks let
// them all fit into a 32-bit address space. Nothing they run keeps a big
// buffer on the stack (the HTTP back ends and the file writes use the heap).
inline constexpr std::size_t DetachedThreadStackSize = 256 * 1024;

// Runs Work on a new thread with a stack of DetachedThreadStackSize. An
// exception leaving Work ends that thread quietly. False when no thread could
// be made; Work is then not run.
bool StartDetachedThread(std::function<void()> Work);

// For tests, which cannot make the system refuse a thread on demand: after
// the next Succeed starts, the Fail starts after them fail as the system's
// refusal would. SetThreadStartFaults(0, 0) clears it.
void SetThreadStartFaults(unsigned Succeed, unsigned Fail);

}  // namespace lumora
