#include "ui/Menus.h"

#include <algorithm>

#include "ui/UtilityWindow.h"

namespace lumora {

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FParentItem) FParentItem->Remove(this);
  for (TMenuItem* Item : FItems) Item->FParentItem = nullptr;
}

void TMenuItem::Add(TMenuItem* Item) {
  if (!Item || Item->FParentItem == this) return;
  if (Item->FParentItem) Item->FParentItem->Remove(Item);
  FItems.push_back(Item);
  Item->FParentItem = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  if (It == FItems.end()) return;
  FItems.erase(It);
  Item->FParentItem = nullptr;
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  SetPopupComponent(nullptr);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent) RemoveFreeNotification(FPopupComponent);
  FPopupComponent = Value;
  if (Value) FreeNotification(Value);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

namespace {

void AppendItems(HMENU Menu, const TMenuItem& Parent, std::vector<TMenuItem*>& Commands) {
  for (int I = 0; I < Parent.Count(); ++I) {
    TMenuItem* Item = Parent.Items(I);
    if (!Item->Visible()) continue;
    UINT Flags = MF_STRING;
    if (!Item->Enabled()) Flags |= MF_GRAYED;
    if (Item->Checked()) Flags |= MF_CHECKED;
    if (Item->Caption() == "-") {
      AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    if (Item->Count() > 0) {
      HMENU Sub = CreatePopupMenu();
      AppendItems(Sub, *Item, Commands);
      AppendMenuA(Menu, Flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), Item->Caption().c_str());
      continue;
    }
    Commands.push_back(Item);
    const UINT Id = static_cast<UINT>(Commands.size());
    AppendMenuA(Menu, Flags, Id, Item->Caption().c_str());
    if (Item->Default()) SetMenuDefaultItem(Menu, Id, FALSE);
  }
}

}  // namespace

HMENU TPopupMenu::BuildMenu(std::vector<TMenuItem*>& Commands) const {
  HMENU Menu = CreatePopupMenu();
  AppendItems(Menu, *FItems, Commands);
  return Menu;
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  std::vector<TMenuItem*> Commands;
  HMENU Menu = BuildMenu(Commands);
  // The menu needs a window of ours to belong to; a utility window keeps
  // its messages away from the forms.
  TUtilityWindow Owner([](TMessage&) { return false; });
  const UINT Picked = static_cast<UINT>(
      TrackPopupMenu(Menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, X, Y, 0,
                     Owner.Handle(), nullptr));
  DestroyMenu(Menu);
  if (Picked >= 1 && Picked <= Commands.size()) Commands[Picked - 1]->Click();
}

}  // namespace lumora
