#pragma once
// The application: the hidden top-level window that carries the taskbar
// button and receives the application-wide messages (minimise, restore,
// shell broadcasts), the forms, the main form (the first one created), and
// the message loop.

#include <windows.h>

#include <string>
#include <vector>

#include "sys/Component.h"
#include "ui/Messages.h"

namespace lumora {

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // The application window, made on first use.
  HWND Handle();
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value);

  TForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }
  bool Terminated() const { return FTerminated; }

  // Makes a form owned by the application; the first one made is the main
  // form. Ref is set before the form's creation steps run, so that they
  // may use it. The application frees the form when Run ends.
  template <class TFormClass>
  void CreateForm(TFormClass*& Ref) {
    Ref = new TFormClass(this);
    if (!FMainForm) FMainForm = Ref;
    Ref->AfterConstruction();
  }

  // Shows the main form (unless told not to) and runs the message loop
  // until Terminate; a Terminate made before skips the loop. Then, as the
  // program ends, frees what the application owns (the forms of
  // CreateForm), last created first.
  void Run();
  // Ends the loop: it stops when it next runs.
  void Terminate();
  // Handles every message that is waiting, then returns.
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();

  void Minimize();
  void Restore();

  // The default error report: text, the title as caption, an error icon and
  // one OK button.
  void ShowException(const std::string& Text);

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }

  // For forms.
  void AddForm(TForm* Form);
  void RemoveForm(TForm* Form);

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void WndProc(TMessage& Message);
  bool ProcessMessage(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);

  HWND FHandle = nullptr;
  std::string FTitle;
  TForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  std::vector<TForm*> FForms;
};

// The one application object of the process.
TApplication& Application();

}  // namespace lumora
