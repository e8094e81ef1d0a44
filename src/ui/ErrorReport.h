#pragma once
// The program-wide default error report. An exception that leaves an event
// handler must never unwind through a Win32 or COM callback: the layer
// catches it at the callback, shows it here and carries on.

#include <string>

namespace lumora {

// The text shown for an error message: a full stop is appended when the last
// character sorts above "." in code order: "Failed" reads "Failed.", while
// "Done." and "Stop!" stay as they are.
std::string ErrorReportText(const std::string& Message);

// Shows the exception being handled (call inside a catch block): a message
// box with the text, the application's title as caption, an error icon and
// one OK button. Never throws.
void HandleException() noexcept;

// Runs Proc and reports what escapes it; for every callback boundary.
template <class F>
void GuardCallback(F&& Proc) noexcept {
  try {
    Proc();
  } catch (...) {
    HandleException();
  }
}

}  // namespace lumora
