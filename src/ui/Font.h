#pragma once
// A font description with a lazily made GDI font. Every change drops the
// made font; whoever has it selected keeps it alive through SharedHandle
// until it selects the new one, so a change never deletes a selected font.

#include <windows.h>

#include <memory>
#include <string>

#include "sys/Object.h"
#include "ui/Color.h"
#include "ui/GdiObjects.h"

namespace lumora {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle bits.
using TFontStyles = unsigned;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TObject {
 public:
  TFont() = default;

  const std::string& Name() const { return FName; }
  // Negative: the character height in pixels (as LOGFONT); positive: the cell height.
  int Height() const { return FHeight; }
  TColor Color() const { return FColor; }
  TFontStyles Style() const { return FStyle; }
  TFontPitch Pitch() const { return FPitch; }
  // Points on the screen's resolution, from and to Height.
  int Size() const;

  void SetName(const std::string& Value);
  void SetHeight(int Value);
  void SetColor(TColor Value);
  void SetStyle(TFontStyles Value);
  void SetPitch(TFontPitch Value);
  void SetSize(int Value);

  // Takes every attribute of Source, with one OnChange if anything differs.
  void Assign(const TFont& Source);

  HFONT Handle() const;
  std::shared_ptr<const TFontHandle> SharedHandle() const;

  TNotifyEvent OnChange;

 private:
  void Changed();

  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  TFontPitch FPitch = fpDefault;
  mutable std::shared_ptr<TFontHandle> FHandle;
};

}  // namespace lumora
