#pragma once
// Work handed to the GUI thread. Grab jobs and download workers run on
// threads of their own but change the drop window (its picture, its address
// field); they queue those changes here, and the GUI thread carries them out
// one by one, in the order they were queued, from its message loop.

#include <functional>

namespace lumora {

// Call once, on the GUI thread, before other threads queue anything (the
// application does it when it starts).
void InitMainThreadQueue();

// Queues Proc for the GUI thread and returns at once; safe from any thread.
// Calls queued after the queue has closed (the program is ending) are
// dropped. An exception from Proc goes to the default error report.
void QueueToMainThread(std::function<void()> Proc);

// Runs what is queued now; for the GUI thread (tests, shutdown).
void RunMainThreadQueue();

// Stops taking calls and drops those still waiting.
void CloseMainThreadQueue();

}  // namespace lumora
