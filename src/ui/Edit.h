#pragma once
// The single-line edit: the system edit control wrapped as a windowed
// control. OnChange runs when the text really changes: typing, or SetText
// with a different text; setting the same text again raises nothing.

#include "ui/WinControl.h"

namespace lumora {

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  // A sunken 3-D border (the platform look); flat descendants switch it off.
  bool BorderStyleSingle() const { return FBorder; }
  void SetBorderStyleSingle(bool Value);

  void SelectAll();

  void WndProc(TMessage& Message) override;

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateHandleDone() override;
  virtual void Change();

 private:
  int FMaxLength = 0;
  bool FReadOnly = false;
  char FPasswordChar = 0;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FAutoSelect = true;
  bool FBorder = true;
  // The text OnChange last reported, so a notification without a change
  // (the system sends one when the same text is set) is dropped.
  std::string FLastText;
  bool FCreatingWindow = false;
};

}  // namespace lumora
