#pragma once
// What the flat check box and the flat radio button share: a small mark (a
// box or a circle) beside a word-wrapped caption. The mark lights up while
// the mouse is over the control or it has the focus, takes the pressed
// colour while the left button is held on it, and is redrawn at once, not at
// the next paint, whenever one of those flags changes.
//
// Hot tracking: each control class has one 100 ms timer of its own, made
// with its first instance and freed with its last. It runs only while a
// control of the class is tracked and watches that one control: when the
// cursor has left it, the control goes cold. While the left button is held
// on it a control stays hot even off its bounds, so that a check box pressed
// and released elsewhere still toggles.

#include <windows.h>

#include <functional>

#include "ui/WinControl.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {

class TCanvas;
class TTimer;

// One class's timer and the control it watches.
class THotTrackTimer {
 public:
  THotTrackTimer() = default;
  THotTrackTimer(const THotTrackTimer&) = delete;
  THotTrackTimer& operator=(const THotTrackTimer&) = delete;

  // The first instance makes the timer (stopped, 100 ms); the last frees it.
  void AddInstance();
  void RemoveInstance();

  TTimer* Timer() const { return FTimer; }
  TControl* Tracked() const { return FTracked; }
  // Makes Control the watched one and runs Check on every tick.
  void Track(TControl* Control, std::function<void()> Check);
  // Stops the timer when Control is the watched one.
  void Stop(TControl* Control);

 private:
  TTimer* FTimer = nullptr;
  TControl* FTracked = nullptr;
  int FInstances = 0;
};

class TFlatMarkControl : public TCustomControl {
 public:
  ~TFlatMarkControl() override;
  void BeforeDestruction() override;

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { ApplyChecked(Value); }

  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor Value);
  TColor ColorDown() const { return FColorDown; }
  void SetColorDown(TColor Value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor Value);

  // Percentages (0..100; others are brought into that range) that derive
  // the focused, pressed and border colours from Color while UseAdvColors.
  TAdvColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TAdvColors Value);
  TAdvColors AdvColorDown() const { return FAdvColorDown; }
  void SetAdvColorDown(TAdvColors Value);
  TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TAdvColors Value);
  bool UseAdvColors() const { return FUseAdvColors; }
  void SetUseAdvColors(bool Value);

  // The three flags the mark's face follows.
  bool IsHot() const { return FIsHot; }
  bool Pressing() const { return FPressing; }
  bool HasFocus() const { return FHasFocus; }

  // Where the mark and the caption go, in client coordinates.
  RECT MarkRect() const;
  RECT CaptionRect() const;
  // The mark's face for the current flags.
  TColor FaceColor() const;

  void WndProc(TMessage& Message) override;

 protected:
  // MarkSize: the mark's width and height; HotTrack: the class's timer.
  TFlatMarkControl(TComponent* AOwner, int MarkSize, THotTrackTimer& HotTrack);

  virtual void ApplyChecked(bool Value) = 0;
  // The class's mark (face, and the check or dot when Checked) on Canvas.
  virtual void PaintMark(TCanvas& Canvas) = 0;
  // The left button came up; Pressing is already false.
  virtual void LeftReleased(int X, int Y) = 0;
  // A dialog character; true when the control took it.
  virtual bool DialogChar(char Ch) = 0;
  // The control became the form's active control, before HasFocus is set.
  virtual void Entered() {}

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // Redraws the mark at once, on the screen.
  void DrawMark();
  void DrawCaptionText(TCanvas& Canvas);
  void ApplyAdvColors();

  void EnterHot();
  void LeaveHot();
  void StopHotTrack();

  bool RightLayout() const { return FRightLayout; }
  void SetRightLayout(bool Value);
  TColor ColorMark() const { return FColorMark; }
  void SetColorMark(TColor Value);

  bool FChecked = false;

 private:
  void HotTrackCheck();

  THotTrackTimer& FHotTrack;
  const int FMarkSize;
  bool FTransparent = false;
  bool FRightLayout = false;
  TColor FColorFocused = clWhite;
  TColor FColorDown = 0xC5D6D9;
  TColor FColorBorder = 0x8396A0;
  TColor FColorMark = clBlack;
  TAdvColors FAdvColorFocused = 10;
  TAdvColors FAdvColorDown = 10;
  TAdvColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FIsHot = false;
  bool FPressing = false;
  bool FHasFocus = false;
};

}  // namespace lumora
