#pragma once
// TFlatButton: an owner-drawn windowed button with a flat face. It is hot
// while the mouse is over it or it has the focus (raised bevel), sunken
// while pressed, carries a glyph of one to four cells beside its caption,
// can be a speed button of a group (GroupIndex, Down, AllowAllUp), sets its
// form's modal result when clicked, and can show its parent as background.
//
// Hot tracking: one 100 ms timer serves every flat button of the process.
// It exists from the first button to the last, and runs only while one
// button (the tracked one) is hot; each tick asks whether the cursor is
// still over that button.

#include <memory>

#include "ui/Bitmap.h"
#include "ui/ButtonLayout.h"
#include "ui/WinControl.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

class TTimer;

enum TFlatButtonState { stUp = 0, stDisabled = 1, stDown = 2, stExclusive = 3 };

// A mouse cursor id; stored for the form's sake, the button does not set it.
using TCursor = int;
inline constexpr TCursor crDefault = 0;

class TFlatButton : public TCustomControl {
 public:
  explicit TFlatButton(TComponent* AOwner);
  ~TFlatButton() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor Value);
  TColor ColorDown() const { return FColorDown; }
  void SetColorDown(TColor Value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor Value);
  TColor ColorHighLight() const { return FColorHighLight; }
  void SetColorHighLight(TColor Value);
  TColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(TColor Value);
  TAdvColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TAdvColors Value);
  TAdvColors AdvColorDown() const { return FAdvColorDown; }
  void SetAdvColorDown(TAdvColors Value);
  TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TAdvColors Value);
  bool UseAdvColors() const { return FUseAdvColors; }
  void SetUseAdvColors(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value) { ApplyDown(Value); }
  // The button keeps its own copy of the picture.
  TBitmap& Glyph() { return *FGlyph; }
  void SetGlyph(const TBitmap* Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }

  // The state the face shows, and the hot flag.
  TFlatButtonState FaceState() const { return FFaceState; }
  bool IsHot() const { return FIsHot; }
  bool Pressing() const { return FPressing; }

  // Sets the form's modal result (even when 0), then raises OnClick.
  void FireClick();

  // The shared hot-tracking timer (nullptr when no flat button exists) and
  // the button it watches.
  static TTimer* HotTrackTimer();
  static TFlatButton* HotTrackedButton();

  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void ApplyAdvColors();
  void ApplyDown(bool Value);
  void NotifyGroup();
  bool Inside(int X, int Y) const;
  void EnterHot();
  void LeaveHot();
  void StopHotTrack();
  void RecheckHot();
  bool CursorOverMe() const;
  static void HotTrackCheck();
  void KeyMessage(TMessage& Message);
  void DrawGlyph(TCanvas& On, TColor KeyColor);

  TTransparentMode FTransparentMode = tmNone;
  bool FDefault = false;
  bool FAllowAllUp = false;
  TColor FColorFocused = 0xE1EAEB;
  TColor FColorDown = 0xC5D6D9;
  TColor FColorBorder = 0x8396A0;
  TColor FColorHighLight = 0xFFFFFF;
  TColor FColorShadow = 0x000000;
  TAdvColors FAdvColorFocused = 10;
  TAdvColors FAdvColorDown = 10;
  TAdvColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  int FGroupIndex = 0;
  bool FDown = false;
  std::unique_ptr<TBitmap> FGlyph;
  TButtonLayout FLayout = blGlyphTop;
  int FMargin = -1;
  TNumGlyphs FNumGlyphs = 1;
  int FSpacing = 4;
  int FModalResult = 0;
  TCursor FCursor = crDefault;

  TFlatButtonState FFaceState = stUp;
  bool FIsHot = false;
  bool FPressing = false;
  POINT FGlyphOrigin{0, 0};
  RECT FCaptionRect{0, 0, 0, 0};
};

}  // namespace lumora
