#pragma once
// The notification-area icon: one icon in the shell's tray, whose mouse
// actions become component events, with a popup menu at the cursor, icon
// cycling through an image list, and the main form sent to the tray (hidden
// with the application's taskbar button) or fetched back.
//
// The component subclasses two windows it did not create: the application
// window (minimise-to-tray, and the shell's "TaskbarCreated" broadcast after
// a shell restart) and its owner's window (activation and showing). Each
// hook stays on the window that existed when it was installed; an owner
// window made anew later is not hooked again.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "sys/Component.h"
#include "ui/Control.h"
#include "ui/Icon.h"
#include "ui/ImageList.h"
#include "ui/Menus.h"
#include "ui/Messages.h"
#include "ui/Timer.h"
#include "ui/UtilityWindow.h"
#include "ui/WindowHook.h"

namespace lumora {

using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

class TCoolTrayIcon : public TComponent {
 public:
  explicit TCoolTrayIcon(TComponent* AOwner);
  ~TCoolTrayIcon() override;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value);
  TImageList* IconList() const { return FIconList; }
  void SetIconList(TImageList* Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  unsigned CycleInterval() const { return FCycleInterval; }
  void SetCycleInterval(unsigned Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TIcon& Icon() { return *FIcon; }
  // Copies Value into the component's own icon.
  void SetIcon(const TIcon& Value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  bool LeftPopup() const { return FLeftPopup; }
  void SetLeftPopup(bool Value) { FLeftPopup = Value; }
  bool StartMinimized() const { return FStartMinimized; }
  void SetStartMinimized(bool Value) { FStartMinimized = Value; }
  bool MinimizeToTray() const { return FMinimizeToTray; }
  void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;

  // Each is true when the shell call was made and succeeded.
  virtual bool AddIcon();
  virtual bool DeleteIcon();
  virtual bool UpdateIcon();
  // Shows Text in a balloon at the icon, under Title, with the shell's icon
  // that InfoFlags names (NIIF_WARNING, NIIF_INFO ...). The record keeps the
  // balloon for this one call, so later changes of the icon or tip never
  // show it again. True when the shell took it; false while the icon is not
  // in the tray.
  virtual bool ShowBalloon(const std::string& Title, const std::string& Text,
                           DWORD InfoFlags = NIIF_WARNING);

  // Restores the application window, then shows the main form.
  void ShowMainWindow();
  // Hides the main form, then the application window (and with it the
  // taskbar button).
  void HideMainWindow();

  // The record handed to the shell, and the window the shell calls back.
  const NOTIFYICONDATAA& IconData() const { return FIconData; }
  HWND IconWindow() const { return FIconWindow ? FIconWindow->Handle() : nullptr; }
  // The shell's restart broadcast, registered by every construction.
  static UINT TaskbarCreatedMessage() { return FTaskbarCreatedMessage; }

 protected:
  virtual void DoClick();
  virtual void DoDblClick();
  virtual void DoCycle();
  virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoMouseMove(TShiftState Shift, int X, int Y);
  virtual void DoMinimizeToTray();

 private:
  bool FillIconData();
  bool Notify(DWORD Message);
  bool IconWindowProc(TMessage& Message);
  void HandleIconMessage(LPARAM Mouse);
  void PopupMenuAtCursor();
  void CycleTimerTick(TObject* Sender);
  int NextIndex() const;
  LRESULT AppWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT OwnerWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  void HookApplication();
  void UnhookApplication();
  void HookOwner();
  void UnhookOwner();
  HWND OwnerWindow() const;

  static inline UINT FTaskbarCreatedMessage = 0;

  bool FDesignPreview = false;
  TImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  unsigned FCycleInterval = 0;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = true;
  std::unique_ptr<TIcon> FIcon;
  bool FIconVisible = true;
  int FIconIndex = 0;
  TPopupMenu* FPopupMenu = nullptr;
  bool FLeftPopup = false;
  bool FStartMinimized = false;
  bool FMinimizeToTray = false;

  NOTIFYICONDATAA FIconData{};
  std::unique_ptr<TUtilityWindow> FIconWindow;
  TTimer* FCycleTimer = nullptr;
  bool FClickPending = false;
  bool FPreviewInProgress = false;
  bool FFirstPositionChange = true;
  bool FTornDown = false;
  TWindowHook FAppHook;
  TWindowHook FOwnerHook;
};

}  // namespace lumora
