#pragma once
// lumora-gallery's view of the flat controls: one entry per control class,
// saying how to make it, how to set each property a case may name, and
// what the tool measures for it. Each class has its own GalleryXxx.cpp that
// defines its entry; GalleryClasses.cpp lists them. The tool itself (form,
// states, screen capture, cases.json) knows no control by name.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumora {
class TBitmap;
class TForm;
class TWinControl;
}  // namespace lumora

namespace lumora::gallery {

// A property value from a case: JSON true/false, an integer, a string (an
// enumeration value by name, or text), or a test glyph.
struct TPropValue {
  enum class TKind { Bool, Int, Text, Glyph } Kind = TKind::Int;
  bool Bool = false;
  long long Int = 0;
  std::string Text;
  int GlyphWidth = 0, GlyphHeight = 0, GlyphCells = 0;
};

// What the tool measures on a memory DC with the control's font selected.
enum class TMeasure {
  None,        // {}
  CalcRect,    // tw, th from DrawTextA(DT_CALCRECT | DT_SINGLELINE), (0, 0) when empty
  TextExtent,  // tw, th from GetTextExtentPoint32A(caption)
  WHeight,     // w_height from GetTextExtentPoint32A("W")
  TmHeight,    // tm_height from GetTextMetricsA
};

// Raised by a setter for a value it cannot take ("unknown value \"blFoo\"");
// the tool puts the property's name in front ("Layout: unknown value ..."),
// the case fails with that text and the others still run.
struct EGalleryError {
  std::string Message;
};

using TPropSetter = std::function<void(TWinControl* Control, const TPropValue& Value)>;

struct TGalleryClass {
  std::string Name;  // "TFlatButton"
  // Creates the control with Form as owner and parent.
  std::function<TWinControl*(TForm* Form)> Create;
  std::map<std::string, TPropSetter> Props;
  TMeasure Measure = TMeasure::None;
  // The picture is the whole window (GetWindowDC) rather than the client.
  bool WholeWindow = false;
  // The height is the control's own after a font change (the edit).
  bool FitsHeightToFont = false;
  // The caption the measurement uses.
  std::function<std::string(TWinControl* Control)> Caption;
};

// Every class the tool knows, in the order of the table.
const std::vector<const TGalleryClass*>& GalleryClasses();
const TGalleryClass* FindGalleryClass(const std::string& Name);

// Helpers for the entries' setters: a value of the kind the property takes,
// or EGalleryError ("expects true or false" ...).
bool BoolValue(const TPropValue& Value);
long long IntValue(const TPropValue& Value);
const std::string& TextValue(const TPropValue& Value);
// An enumeration value by its name, from Names.
int EnumValue(const TPropValue& Value, const std::vector<std::pair<std::string, int>>& Names);
// The test glyph of a Glyph value: W x H, 24-bit, magenta, with a filled
// square per cell (black, dark red, dark green, dark blue) and a white dot
// at the square's top-left pixel when the cell is large enough.
std::unique_ptr<TBitmap> MakeTestGlyph(int Width, int Height, int Cells);

// The setters every control has: Caption, Color, Enabled, ParentColor,
// ParentFont, Visible. An entry adds them to its own.
void AddControlProps(std::map<std::string, TPropSetter>& Props);

}  // namespace lumora::gallery
