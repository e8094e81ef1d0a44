#pragma once
// Fire-and-forget threads: started running, never joined, gone when their
// work ends. The work owns everything it touches.

#include <chrono>
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

// Waits until every thread StartDetachedThread started has finished its
// work and freed it, or Limit has passed; true when none is left. A
// command-line tool calls it before it ends: the program's exit tears down
// what such a thread may still be using as it ends (a library's per-thread
// state, the runtime's), and a thread caught halfway can crash the exit
// and turn the tool's exit code into a crash's.
bool WaitForDetachedThreads(std::chrono::milliseconds Limit);

// For tests, which cannot make the system refuse a thread on demand: after
// the next Succeed starts, the Fail starts after them fail as the system's
// refusal would. SetThreadStartFaults(0, 0) clears it.
void SetThreadStartFaults(unsigned Succeed, unsigned Fail);

}  // namespace lumora
