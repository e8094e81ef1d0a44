#include "ui/ErrorReport.h"

#include <windows.h>

#include <exception>

#include "ui/Application.h"

namespace lumora {

std::string ErrorReportText(const std::string& Message) {
  std::string Text = Message;
  if (!Text.empty() && static_cast<unsigned char>(Text.back()) > '.') Text += '.';
  return Text;
}

void HandleException() noexcept {
  try {
    std::string Message;
    try {
      throw;
    } catch (const std::exception& E) {
      Message = E.what();
    } catch (...) {
      Message = "Unknown error";
    }
    Application().ShowException(ErrorReportText(Message));
  } catch (...) {
    // Reporting itself failed (out of memory, say): nothing more can be done
    // safely from inside a callback.
  }
}

}  // namespace lumora
