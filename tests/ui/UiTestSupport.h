#pragma once
// Helpers for tests that run real windows under Wine: pumping messages
// while waiting, and catching message boxes before they block.

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Edit.h"
#include "ui/Form.h"

namespace lumora::test {

// Handles messages until Done() or the time is up; returns Done().
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 2000);
void PumpFor(int Milliseconds);

// A message box as the user would see it.
struct TCaughtBox {
  std::string Caption;
  std::string Text;
  HICON Icon = nullptr;  // the icon shown, as the box's icon control holds it
  int VisibleButtons = 0;
};

// While alive, every message box this thread opens is read and closed at
// once (through a CBT hook), and kept in Boxes.
class TMessageBoxCatcher {
 public:
  TMessageBoxCatcher();
  ~TMessageBoxCatcher();
  std::vector<TCaughtBox> Boxes;

 private:
  static LRESULT CALLBACK Hook(int Code, WPARAM WParam, LPARAM LParam);
  HHOOK FHook = nullptr;
};

// Runs a program of the host (Wine starts Unix programs too, by their Z:
// path) without waiting for it; false when it cannot be started.
bool StartHostProgram(const std::string& CommandLine);
// Whether the host has xdotool, which drives the X server's pointer.
bool HostHasXdotool();

// Sends a left click (press and release) at client point X, Y of Window.
void SendClick(HWND Window, int X, int Y);

// A form in the style of the program's windows: members of its own, a field
// on it, and an OnDestroy that uses both, as a window that frees its queue
// and its drop target there. Its teardown is written to Journal(), which
// outlives every form: "<tag> destroy: <n> queued, <field text>" from
// OnDestroy, "<tag> members gone" when its members are destroyed. An
// OnDestroy that comes after the members writes "<tag> destroy after its
// members went" instead, without touching them.
class TMemberForm : public TForm {
 public:
  explicit TMemberForm(TComponent* AOwner);
  static std::vector<std::string>& Journal();
  void SetTag(const std::string& Value);

 private:
  struct TWitness {
    std::shared_ptr<std::string> Tag;
    ~TWitness();
  };
  std::shared_ptr<std::string> FTag;
  std::vector<std::string> FQueue{"a", "b", "c"};
  TEdit* FField = nullptr;
  // Last, so that it goes first: the members start going when it writes.
  TWitness FWitness;
};

}  // namespace lumora::test
