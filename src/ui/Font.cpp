#include "ui/Font.h"

namespace lumora {

namespace {

int ScreenPixelsPerInch() {
  TWindowDC Screen = TWindowDC::Client(nullptr);
  const int Dpi = Screen ? ::GetDeviceCaps(Screen.Get(), LOGPIXELSY) : 0;
  return Dpi > 0 ? Dpi : 96;
}

}  // namespace

int TFont::Size() const {
  return -::MulDiv(FHeight, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int Value) {
  SetHeight(-::MulDiv(Value, ScreenPixelsPerInch(), 72));
}

void TFont::SetName(const std::string& Value) {
  if (Value == FName) return;
  FName = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  Value &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::Assign(const TFont& Source) {
  if (&Source == this) return;
  if (Source.FName == FName && Source.FHeight == FHeight && Source.FColor == FColor &&
      Source.FStyle == FStyle && Source.FPitch == FPitch)
    return;
  FName = Source.FName;
  FHeight = Source.FHeight;
  FColor = Source.FColor;
  FStyle = Source.FStyle;
  FPitch = Source.FPitch;
  Changed();
}

void TFont::Changed() {
  // A colour alone needs no new font, but one rule for all keeps it simple.
  FHandle.reset();
  if (OnChange) OnChange(this);
}

std::shared_ptr<const TFontHandle> TFont::SharedHandle() const {
  if (!FHandle) {
    LOGFONTA Log{};
    Log.lfHeight = FHeight;
    Log.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    Log.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
    Log.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
    Log.lfStrikeOut = (FStyle & fsStrikeOut) ? TRUE : FALSE;
    Log.lfCharSet = DEFAULT_CHARSET;
    Log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    Log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    Log.lfQuality = DEFAULT_QUALITY;
    Log.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                           : FPitch == fpVariable ? VARIABLE_PITCH
                                                  : DEFAULT_PITCH;
    FName.copy(Log.lfFaceName, LF_FACESIZE - 1);
    FHandle = std::make_shared<TFontHandle>(::CreateFontIndirectA(&Log));
  }
  return FHandle;
}

HFONT TFont::Handle() const {
  return SharedHandle()->Get();
}

}  // namespace lumora
