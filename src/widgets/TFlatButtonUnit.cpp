#include "widgets/TFlatButtonUnit.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/Timer.h"

namespace lumora {
namespace {

// Shared by every flat button of the process (GUI thread only).
TTimer* GHotTrackTimer = nullptr;
TFlatButton* GHotTrackedButton = nullptr;
int GButtonCount = 0;

}  // namespace

TFlatButton::TFlatButton(TComponent* AOwner) : TCustomControl(AOwner) {
  if (!GHotTrackTimer) {
    GHotTrackTimer = new TTimer(nullptr);
    GHotTrackTimer->SetEnabled(false);
    GHotTrackTimer->SetInterval(100);
  }
  ++GButtonCount;
  // The declared default, seen until a parent's colour is taken over.
  FColor = 0xE1EAEB;
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
  // Exactly these traits: it clicks by its own rules, not the layer's.
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
  SetBounds(Left(), Top(), 25, 25);
  SetParentColor(true);
  SetParentFont(true);
}

TFlatButton::~TFlatButton() {
  // A member or a local button is destroyed without BeforeDestruction; the
  // shared pointer must not outlive it either way.
  StopHotTrack();
  FGlyph.reset();
  if (--GButtonCount == 0) {
    delete GHotTrackTimer;
    GHotTrackTimer = nullptr;
  }
}

void TFlatButton::BeforeDestruction() {
  // The timer must never tick for a button that is going.
  StopHotTrack();
  TCustomControl::BeforeDestruction();
}

TTimer* TFlatButton::HotTrackTimer() {
  return GHotTrackTimer;
}

TFlatButton* TFlatButton::HotTrackedButton() {
  return GHotTrackedButton;
}

void TFlatButton::Loaded() {
  TCustomControl::Loaded();
  // Drawn anew with the properties its owner's design has set.
  Perform(CM_LOADED, 0, 0);
}

void TFlatButton::SetTransparentMode(TTransparentMode Value) {
  FTransparentMode = Value;
  Invalidate();
}

void TFlatButton::SetDefault(bool Value) {
  FDefault = Value;
  if (HandleAllocated())
    if (TForm* Form = ParentForm()) Form->NotifyFocusChanged();
  Invalidate();
}

void TFlatButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  NotifyGroup();
}

void TFlatButton::SetColorFocused(TColor Value) {
  FColorFocused = Value;
  Invalidate();
}

void TFlatButton::SetColorDown(TColor Value) {
  FColorDown = Value;
  Invalidate();
}

void TFlatButton::SetColorBorder(TColor Value) {
  FColorBorder = Value;
  Invalidate();
}

void TFlatButton::SetColorHighLight(TColor Value) {
  FColorHighLight = Value;
  Invalidate();
}

void TFlatButton::SetColorShadow(TColor Value) {
  FColorShadow = Value;
  Invalidate();
}

// Percentages outside 0..100 would shift the lightness past its scale.
void TFlatButton::SetAdvColorFocused(TAdvColors Value) {
  FAdvColorFocused = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatButton::SetAdvColorDown(TAdvColors Value) {
  FAdvColorDown = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatButton::SetAdvColorBorder(TAdvColors Value) {
  FAdvColorBorder = ClampAdvColors(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatButton::SetUseAdvColors(bool Value) {
  if (FUseAdvColors == Value) return;
  FUseAdvColors = Value;
  SetParentColor(Value);
  ApplyAdvColors();
  Invalidate();
}

void TFlatButton::ApplyAdvColors() {
  if (!FUseAdvColors) return;
  FColorFocused = ShiftLightness(Color(), FColorFocused, FAdvColorFocused, lsLighten);
  FColorDown = ShiftLightness(Color(), FColorDown, FAdvColorDown, lsDarken);
  FColorBorder = ShiftLightness(Color(), FColorBorder, FAdvColorBorder, lsDarken);
}

void TFlatButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  NotifyGroup();
}

void TFlatButton::SetGlyph(const TBitmap* Value) {
  if (Value == FGlyph.get()) return;
  if (Value) {
    FGlyph->Assign(*Value);
  } else {
    FGlyph->SetSize(0, 0);
  }
  const int W = FGlyph->Width(), H = FGlyph->Height();
  if (!FGlyph->Empty() && W % H == 0) {
    const int Cells = W / H;
    FNumGlyphs = Cells > MaxNumGlyphs ? 1 : Cells;
  }
  Invalidate();
}

void TFlatButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TFlatButton::SetMargin(int Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TFlatButton::SetNumGlyphs(TNumGlyphs Value) {
  // A count outside 1..4 would leave no cell to draw.
  Value = std::clamp(Value, MinNumGlyphs, MaxNumGlyphs);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TFlatButton::SetSpacing(int Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TFlatButton::FireClick() {
  if (Parent())
    if (TForm* Form = ParentForm()) Form->SetModalResult(FModalResult);
  Click();
}

void TFlatButton::ApplyDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  // A down button of a group that needs one down is raised only by another
  // member going down.
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FFaceState == stUp) Invalidate();
    FFaceState = stExclusive;
  } else {
    FFaceState = stUp;
    Repaint();
  }
  if (Value) NotifyGroup();
}

void TFlatButton::NotifyGroup() {
  if (FGroupIndex == 0 || !Parent()) return;
  Parent()->NotifyControls(CM_GROUPNOTIFY, static_cast<WPARAM>(FGroupIndex),
                           reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
}

bool TFlatButton::Inside(int X, int Y) const {
  // The row just below the bottom edge still counts; the column just right
  // of the right edge does not.
  return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

bool TFlatButton::CursorOverMe() const {
  POINT P;
  if (!GetCursorPos(&P)) return false;
  return FindControlAtPos(P) == this;
}

void TFlatButton::EnterHot() {
  if (!Enabled() || FIsHot) return;
  FIsHot = true;
  Repaint();
}

void TFlatButton::LeaveHot() {
  if (!Enabled() || !FIsHot || FPressing) return;
  FIsHot = false;
  StopHotTrack();
  Repaint();
}

void TFlatButton::StopHotTrack() {
  if (GHotTrackedButton != this) return;
  if (GHotTrackTimer) GHotTrackTimer->SetEnabled(false);
  GHotTrackedButton = nullptr;
}

void TFlatButton::RecheckHot() {
  if (!Enabled()) return;
  if (CursorOverMe()) {
    FIsHot = false;
    EnterHot();
  } else {
    FIsHot = true;
    LeaveHot();
  }
}

void TFlatButton::HotTrackCheck() {
  TFlatButton* Button = GHotTrackedButton;
  if (Button && !Button->CursorOverMe()) Button->LeaveHot();
}

void TFlatButton::DblClick() {
  // Raised from the press itself (see MouseDown), after the press's work.
}

void TFlatButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != TMouseButton::mbLeft || !Enabled()) return;
  if (!FDown) {
    FFaceState = stDown;
    Repaint();
  }
  FPressing = true;
  SetFocus();
  // The second press of a double click is a press; only a down button
  // reports the double click itself, once the press is handled.
  if ((Shift & ssDouble) && FDown) TCustomControl::DblClick();
}

void TFlatButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const POINT Screen = ClientToScreen(POINT{X, Y});
  if (GHotTrackedButton != this && FindControlAtPos(Screen) == this) {
    if (GHotTrackedButton) GHotTrackedButton->LeaveHot();
    if (GetActiveWindow() && GHotTrackTimer) {
      GHotTrackTimer->SetEnabled(false);
      GHotTrackedButton = this;
      GHotTrackTimer->SetOnTimer([](TObject*) { HotTrackCheck(); });
      GHotTrackTimer->SetEnabled(true);
      EnterHot();
    }
  }
  if (FPressing) {
    const TFlatButtonState State = FDown ? stExclusive : Inside(X, Y) ? stDown : stUp;
    if (State != FFaceState) {
      FFaceState = State;
      Repaint();
    }
  }
}

void TFlatButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FPressing) return;
  FPressing = false;
  const bool In = Inside(X, Y);
  if (FGroupIndex == 0) {
    FFaceState = stUp;
    FIsHot = false;
    if (In) Repaint();
  } else if (In) {
    ApplyDown(!FDown);
    if (FDown) Repaint();
  } else {
    if (FDown) FFaceState = stExclusive;
    Repaint();
  }
  if (In) {
    FireClick();
  } else {
    LeaveHot();
  }
  RecheckHot();
}

void TFlatButton::KeyMessage(TMessage& M) {
  if (M.WParam != VK_SPACE) return;  // every other key is swallowed
  if (M.Msg == WM_KEYDOWN) {
    if (FGroupIndex != 0) {
      ApplyDown(true);
    } else {
      FFaceState = stDown;
    }
    Invalidate();
  } else {
    if (FGroupIndex != 0) {
      ApplyDown(false);
    } else {
      FFaceState = stUp;
    }
    FireClick();
    Invalidate();
  }
}

void TFlatButton::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      KeyMessage(M);
      M.Result = 0;
      return;
    case CM_DIALOGCHAR:
      if (Enabled() && IsAccel(static_cast<char>(M.WParam), Caption())) {
        if (FGroupIndex != 0) ApplyDown(true);
        FireClick();
        M.Result = 1;
        return;
      }
      break;
    case CM_GROUPNOTIFY: {
      auto* Sender = dynamic_cast<TFlatButton*>(reinterpret_cast<TControl*>(M.LParam));
      if (static_cast<int>(M.WParam) == FGroupIndex && Sender && Sender != this) {
        if (Sender->Down() && FDown) {
          FDown = false;
          FFaceState = stUp;
          Invalidate();
        }
        FAllowAllUp = Sender->AllowAllUp();
      }
      return;
    }
    default:
      break;
  }
  TCustomControl::WndProc(M);
  switch (M.Msg) {
    case WM_SETFOCUS:
      if (Enabled()) {
        FIsHot = true;
        Repaint();
      }
      break;
    case WM_KILLFOCUS:
      LeaveHot();
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        FIsHot = false;
        FFaceState = stDisabled;
        StopHotTrack();
      }
      RecheckHot();
      Invalidate();
      break;
    case CM_PARENTCOLORCHANGED:
    case CM_SYSCOLORCHANGE:
      if (FUseAdvColors) {
        SetParentColor(true);
        ApplyAdvColors();
      }
      Invalidate();
      break;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_LOADED:
      Invalidate();
      break;
    case CM_POSCHANGED:
      if (FTransparentMode != tmNone) Invalidate();
      break;
    default:
      break;
  }
}

void TFlatButton::DrawGlyph(TCanvas& On, TColor KeyColor) {
  const int GW = FGlyph->Width(), GH = FGlyph->Height();
  const int W = GW / FNumGlyphs;
  if (W <= 0) return;
  // Which cell (1-based) each state shows; 0 = the whole glyph. The last
  // cell a state can show runs to the glyph's right edge.
  int Cell = 0;
  bool ToEdge = false;
  switch (FNumGlyphs) {
    case 2:
      Cell = FFaceState == stDisabled ? 2 : 1;
      ToEdge = Cell == 2;
      break;
    case 3:
      Cell = FFaceState == stDisabled ? 2 : (FFaceState == stUp ? 1 : 3);
      ToEdge = Cell == 3;
      break;
    case 4:
      Cell = FFaceState == stUp ? 1 : FFaceState == stDisabled ? 2 : FFaceState == stDown ? 3 : 4;
      ToEdge = Cell == 4;
      break;
    default:
      break;
  }
  RECT Source{0, 0, GW, GH};
  if (Cell > 0) Source = RECT{(Cell - 1) * W, 0, ToEdge ? GW : Cell * W, GH};
  auto CellBitmap = std::make_unique<TBitmap>(W, GH);
  CellBitmap->Canvas().CopyRect(RECT{0, 0, W, GH}, FGlyph->Canvas(), Source);
  if (FNumGlyphs == 1 && FFaceState == stDisabled) {
    CellBitmap =
        MakeDisabledGlyph(*CellBitmap, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
    KeyColor = CellBitmap->Canvas().Pixel(0, GH - 1);
  }
  TImageList List(nullptr, W, GH);
  List.AddMasked(*CellBitmap, KeyColor);
  List.Draw(On, FGlyphOrigin.x, FGlyphOrigin.y, 0, true);
}

void TFlatButton::Paint() {
  const TColor KeyColor =
      FGlyph->Empty() ? clNone : FGlyph->Canvas().Pixel(0, FGlyph->Height() - 1);
  const RECT Client = ClientRect();
  const int CW = Client.right - Client.left, CH = Client.bottom - Client.top;
  if (CW <= 0 || CH <= 0) return;
  TBitmap Buffer(CW, CH);
  TCanvas& C = Buffer.Canvas();
  C.Font().Assign(Font());

  const int Offset = (FFaceState == stDown || FFaceState == stExclusive) ? 1 : 0;
  LayoutGlyphAndText(C, Client, Offset, FLayout, FSpacing, FMargin, FGlyph.get(), FNumGlyphs,
                     Caption(), FGlyphOrigin, FCaptionRect);

  if (Enabled() && FFaceState == stDisabled)
    FFaceState = (FDown && FGroupIndex != 0) ? stExclusive : stUp;
  if (!Enabled()) {
    FFaceState = stDisabled;
    FPressing = false;
  }

  // Background.
  const bool ParentShows =
      FTransparentMode == tmAlways || (FTransparentMode == tmNotFocused && !FIsHot);
  if (ParentShows) {
    PaintParentBackground(this, C);
  } else {
    TColor Face = Color();
    switch (FFaceState) {
      case stUp:
        Face = FIsHot ? FColorFocused : Color();
        break;
      case stDisabled:
        Face = Color();
        break;
      case stDown:
        Face = FColorDown;
        break;
      case stExclusive:
        Face = FIsHot ? FColorFocused : FColorDown;
        break;
    }
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Face);
    C.FillRect(Client);
  }

  // Border.
  switch (FFaceState) {
    case stUp:
      if (FIsHot) {
        DrawBevelFrame(C, Client, FColorHighLight, FColorShadow, 1);
      } else {
        DrawBevelFrame(C, Client, FColorBorder, FColorBorder, FDefault ? 2 : 1);
      }
      break;
    case stDisabled:
      DrawBevelFrame(C, Client, FColorBorder, FColorBorder, 1);
      break;
    case stDown:
    case stExclusive:
      DrawBevelFrame(C, Client, FColorShadow, FColorHighLight, 1);
      break;
  }

  if (!FGlyph->Empty()) DrawGlyph(C, KeyColor);

  // Caption.
  const std::string Text = Caption();
  if (!Text.empty()) {
    C.Brush().SetStyle(bsClear);
    constexpr UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    RECT R = FCaptionRect;
    if (FFaceState == stDisabled) {
      OffsetRect(&R, 1, 1);
      C.Font().SetColor(clBtnHighlight);
      C.DrawText(Text, R, Flags);
      OffsetRect(&R, -1, -1);
      C.Font().SetColor(clBtnShadow);
      C.DrawText(Text, R, Flags);
    } else {
      C.DrawText(Text, R, Flags);
    }
  }

  Canvas().Draw(Client.left, Client.top, Buffer);
}

}  // namespace lumora
