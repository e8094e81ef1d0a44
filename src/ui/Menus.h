#pragma once
// Popup menus: items with captions and click handlers, one of them possibly
// the default (drawn bold, run by a double click on the tray icon). The
// menu is built afresh for each popup, so items may change at any time.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "sys/Component.h"

namespace lumora {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  void Add(TMenuItem* Item);
  void Remove(TMenuItem* Item);
  TMenuItem* Parent() const { return FParentItem; }

  // Runs the click handler, as a user's pick would.
  virtual void Click();
  TNotifyEvent OnClick;

 private:
  std::string FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FDefault = false;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParentItem = nullptr;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The invisible root whose children are the menu's items.
  TMenuItem& Items() { return *FItems; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // Who asked for the menu last (a control, the tray icon).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);

  // Shows the menu at a screen point and returns when it has closed; the
  // picked item's click runs after that.
  virtual void Popup(int X, int Y);

  // A menu handle built from the items now, with command numbers from 1 in
  // item order; the caller destroys it. Also used to test the menu.
  HMENU BuildMenu(std::vector<TMenuItem*>& Commands) const;

  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::unique_ptr<TMenuItem> FItems;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
};

}  // namespace lumora
