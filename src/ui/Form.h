#pragma once
// Forms: top-level windows that hold controls. A form owns its components
// and frees them before its window goes. It keeps the active control (the
// one with the focus while the form is active) and tells its controls when
// it changes; it routes dialog characters (accelerators) and Tab between its
// controls. Closing the main form ends the program; closing another hides it.
//
// Freeing a form (delete, its owner, the application at the end of the
// program) first runs OnDestroy while the whole form exists, then frees its
// components, and only then runs the destructors: OnDestroy may use the
// form's own members and controls, and by the time a derived form's
// destructor runs, its components are gone.

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/WinControl.h"

namespace lumora {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  // Runs once the most derived constructor has set every property: Loaded
  // for the form and all that was made while it loaded, then OnCreate. An
  // error in OnCreate goes to the default error report and the form stays.
  // TApplication::CreateForm calls it; code that makes a form with new calls
  // it itself.
  void AfterConstruction();
  void BeforeDestruction() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  // A new border style needs a new window: the window is made anew.
  void SetBorderStyle(TFormBorderStyle Value);

  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(BYTE Value);

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  // Gives Control the focus (and makes it the active control).
  void FocusControl(TWinControl* Control);

  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Shows the form with every other window of the program disabled, until
  // ModalResult is set or the form is closed; returns ModalResult.
  int ShowModal();

  void Close();
  // Brings the form to the front and shows it.
  void BringToFront() override;

  // Offers a character to the controls as an accelerator; true if taken.
  bool DialogChar(char Ch);
  // Moves the focus to the next (or previous) control in tab order.
  void SelectNext(bool GoForward);

  void SetVisible(bool Value) override;
  void WndProc(TMessage& Message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  // Called by controls of the form.
  void FocusChanged(TWinControl* Control);
  // Tells every control of the form which control is active now (a button
  // that draws itself as the default one asks for this).
  void NotifyFocusChanged();
  void ControlRemoved(TWinControl* Control);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateHandleDone() override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoClose(TCloseAction& Action);

 private:
  void ApplyAlpha();
  // OnDestroy (once, errors reported), then the components.
  void TearDown();

  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 255;
  TWinControl* FActiveControl = nullptr;
  int FModalResult = 0;
  bool FCreated = false;
  bool FInModal = false;
};

// Disables every visible, enabled top-level window of this thread but one,
// and enables them again when it goes: a modal form or a system dialog runs
// while the rest of the program waits.
class TTaskWindowsDisabler {
 public:
  explicit TTaskWindowsDisabler(HWND Except = nullptr);
  ~TTaskWindowsDisabler();
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;

 private:
  std::vector<HWND> FWindows;
};

// What has the focus program-wide.
class TScreen {
 public:
  TForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }

 private:
  friend class TForm;
  TForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
};

TScreen& Screen();

}  // namespace lumora
