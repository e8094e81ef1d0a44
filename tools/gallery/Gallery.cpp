// lumora-gallery: pictures of the flat widgets as the screen shows them.
//
//   lumora-gallery OUTDIR
//   lumora-gallery --cases FILE OUTDIR
//
// Each case gets a fresh control on one form, its properties through the
// control's own setters, its state through real input (SendInput) and the
// focus, and then the screen's pixels of the control go into NAME.bmp.
// Nothing here paints: the tool only sets up, waits and copies.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "GalleryCases.h"
#include "GalleryClasses.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"

namespace lumora::gallery {
namespace {

using TJson = nlohmann::ordered_json;

struct TUsageError {
  std::string Message;
};

// Where the control goes on the form, and where the cursor waits when it
// must not be over the control (off the form).
constexpr int ControlLeft = 16, ControlTop = 16;
constexpr int FormLeft = 100, FormTop = 100, FormWidth = 480, FormHeight = 280;
constexpr POINT AwayPoint{FormLeft + FormWidth + 120, FormTop + FormHeight + 120};

TPropValue ParseValue(const TJson& J) {
  TPropValue V;
  if (J.is_boolean()) {
    V.Kind = TPropValue::TKind::Bool;
    V.Bool = J.get<bool>();
  } else if (J.is_number_integer()) {
    V.Kind = TPropValue::TKind::Int;
    V.Int = J.get<long long>();
  } else if (J.is_string()) {
    V.Kind = TPropValue::TKind::Text;
    V.Text = J.get<std::string>();
  } else if (J.is_object() && J.contains("test_glyph") && J["test_glyph"].is_array() &&
             J["test_glyph"].size() == 3) {
    V.Kind = TPropValue::TKind::Glyph;
    const TJson& G = J["test_glyph"];
    for (const TJson& N : G)
      if (!N.is_number_integer()) throw EGalleryError{"test_glyph needs three integers"};
    V.GlyphWidth = G[0].get<int>();
    V.GlyphHeight = G[1].get<int>();
    V.GlyphCells = G[2].get<int>();
  } else {
    throw EGalleryError{"unsupported value " + J.dump()};
  }
  return V;
}

// Handles every waiting message until none is left and at least MinMs have
// passed.
void PumpUntilIdle(int MinMs) {
  const auto Start = std::chrono::steady_clock::now();
  for (;;) {
    Application().ProcessMessages();
    const auto Elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - Start)
                             .count();
    if (Elapsed >= MinMs && GetQueueStatus(QS_ALLINPUT) == 0) return;
    if (Elapsed > MinMs + 5000) return;  // a control that keeps posting to itself
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void SendMouse(DWORD Flags, POINT ScreenPoint) {
  INPUT In{};
  In.type = INPUT_MOUSE;
  const int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
  In.mi.dx = static_cast<LONG>((ScreenPoint.x * 65536 + SW / 2) / SW);
  In.mi.dy = static_cast<LONG>((ScreenPoint.y * 65536 + SH / 2) / SH);
  In.mi.dwFlags = Flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &In, sizeof(In));
}

void MoveMouse(POINT ScreenPoint) {
  SendMouse(MOUSEEVENTF_MOVE, ScreenPoint);
  // The injected move reaches the cursor through the input queue.
  PumpUntilIdle(30);
}

// The control's pixels from the screen into a 24-bit DIB section.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Bits;  // bottom-up rows of BGR, padded to 4 bytes
};

TPicture Capture(HWND Window, bool WholeWindow, int Width, int Height) {
  TPicture P;
  P.Width = Width;
  P.Height = Height;
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = Height;  // bottom-up, as the file stores it
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  TBitmapHandle Dib(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
  if (!Dib.Get() || !Bits) throw EGalleryError{"cannot make the picture's bitmap"};
  TMemoryDC Mem(nullptr);
  TSelection Sel(Mem.Get(), Dib.Get());
  HDC Screen = WholeWindow ? GetWindowDC(Window) : GetDC(Window);
  if (!Screen) throw EGalleryError{"cannot get the control's device context"};
  const BOOL Copied = BitBlt(Mem.Get(), 0, 0, Width, Height, Screen, 0, 0, SRCCOPY);
  ReleaseDC(Window, Screen);
  if (!Copied) throw EGalleryError{"BitBlt from the screen failed"};
  GdiFlush();
  const size_t Stride = (static_cast<size_t>(Width) * 3 + 3) & ~size_t{3};
  const auto* From = static_cast<const unsigned char*>(Bits);
  P.Bits.assign(From, From + Stride * static_cast<size_t>(Height));
  return P;
}

void WriteBmp(const std::filesystem::path& File, const TPicture& P) {
  BITMAPFILEHEADER FH{};
  BITMAPINFOHEADER IH{};
  IH.biSize = sizeof(IH);
  IH.biWidth = P.Width;
  IH.biHeight = P.Height;
  IH.biPlanes = 1;
  IH.biBitCount = 24;
  IH.biCompression = BI_RGB;
  IH.biSizeImage = static_cast<DWORD>(P.Bits.size());
  FH.bfType = 0x4D42;
  FH.bfOffBits = sizeof(FH) + sizeof(IH);
  FH.bfSize = FH.bfOffBits + IH.biSizeImage;
  std::ofstream Out(File, std::ios::binary);
  Out.write(reinterpret_cast<const char*>(&FH), sizeof(FH));
  Out.write(reinterpret_cast<const char*>(&IH), sizeof(IH));
  Out.write(reinterpret_cast<const char*>(P.Bits.data()),
            static_cast<std::streamsize>(P.Bits.size()));
  if (!Out) throw EGalleryError{"cannot write " + File.string()};
}

// What the tool measures itself, on a memory DC with the control's font.
TJson Measure(const TGalleryClass& Class, TWinControl* Control) {
  TJson M = TJson::object();
  if (Class.Measure == TMeasure::None) return M;
  TMemoryDC DC(nullptr);
  TSelection Font(DC.Get(), Control->Font().Handle());
  const std::string Caption = Class.Caption ? Class.Caption(Control) : Control->Caption();
  switch (Class.Measure) {
    case TMeasure::None:
      break;
    case TMeasure::CalcRect: {
      RECT R{0, 0, Control->Width(), 0};
      if (!Caption.empty())
        DrawTextA(DC.Get(), Caption.c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE);
      M["tw"] = Caption.empty() ? 0 : R.right - R.left;
      M["th"] = Caption.empty() ? 0 : R.bottom - R.top;
      break;
    }
    case TMeasure::TextExtent: {
      SIZE S{};
      GetTextExtentPoint32A(DC.Get(), Caption.c_str(), static_cast<int>(Caption.size()), &S);
      M["tw"] = S.cx;
      M["th"] = S.cy;
      break;
    }
    case TMeasure::WHeight: {
      SIZE S{};
      GetTextExtentPoint32A(DC.Get(), "W", 1, &S);
      M["w_height"] = S.cy;
      break;
    }
    case TMeasure::TmHeight: {
      TEXTMETRICA TM{};
      GetTextMetricsA(DC.Get(), &TM);
      M["tm_height"] = TM.tmHeight;
      break;
    }
  }
  return M;
}

class TGallery {
 public:
  TGallery(TColor FormColor, const std::string& FontFace, int FontHeight) {
    Form = new TForm(&Application());
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(FormLeft, FormTop, FormWidth, FormHeight);
    Form->SetParentColor(false);
    Form->SetColor(FormColor);
    Form->Font().SetName(FontFace);
    Form->Font().SetHeight(FontHeight);
    Form->AfterConstruction();
    // An ordinary system button, right of every case's control.
    Sink = new TButton(Form);
    Sink->SetParent(Form);
    Sink->SetBounds(FormWidth - 96, FormHeight - 40, 80, 24);
    Sink->SetCaption("Sink");
    Form->Show();
    SetForegroundWindow(Form->Handle());
    SetActiveWindow(Form->Handle());
    MoveMouse(AwayPoint);
    PumpUntilIdle(200);
  }
  ~TGallery() { delete Form; }
  TGallery(const TGallery&) = delete;
  TGallery& operator=(const TGallery&) = delete;

  // Runs one case; fills Entry's height, measured and file, or throws.
  void Run(const TJson& Case, const std::filesystem::path& OutDir, TJson& Entry) {
    const std::string ControlName = Case.value("control", "");
    const TGalleryClass* Class = FindGalleryClass(ControlName);
    if (!Class) throw EGalleryError{"unknown control \"" + ControlName + "\""};
    if (!Case.contains("width") || !Case["width"].is_number_integer())
      throw EGalleryError{"the case has no integer width"};
    const int Width = Case["width"].get<int>();
    int Height = 0;
    if (!Class->FitsHeightToFont) {
      if (!Case.contains("height") || !Case["height"].is_number_integer())
        throw EGalleryError{"the case has no integer height"};
      Height = Case["height"].get<int>();
    }
    if (Width <= 0 || Width > FormWidth - 2 * ControlLeft - 100 || Height < 0 ||
        Height > FormHeight - 2 * ControlTop)
      throw EGalleryError{"the size does not fit the gallery's form"};

    // The cursor leaves first, so that the new control sees it come in.
    MoveMouse(AwayPoint);
    SetForegroundWindow(Form->Handle());
    Sink->SetFocus();
    PumpUntilIdle(0);

    std::unique_ptr<TWinControl> Control(Class->Create(Form));
    Control->SetBounds(ControlLeft, ControlTop, Width,
                       Class->FitsHeightToFont ? Control->Height() : Height);
    if (Case.contains("props")) {
      if (!Case["props"].is_array()) throw EGalleryError{"props must be a list"};
      for (const TJson& Prop : Case["props"]) {
        if (!Prop.is_array() || Prop.size() != 2 || !Prop[0].is_string())
          throw EGalleryError{"a property must be [NAME, VALUE]"};
        const std::string Name = Prop[0].get<std::string>();
        auto Setter = Class->Props.find(Name);
        if (Setter == Class->Props.end())
          throw EGalleryError{"unknown property \"" + Name + "\" of " + Class->Name};
        try {
          Setter->second(Control.get(), ParseValue(Prop[1]));
        } catch (const EGalleryError& E) {
          throw EGalleryError{Name + ": " + E.Message};
        }
      }
    }
    if (Class->FitsHeightToFont) {
      Control->SetFont(Form->Font());
      Control->Perform(CM_FONTCHANGED);
    }
    Height = Control->Height();
    Control->HandleNeeded();
    Control->Update();

    const TJson State = Case.value("state", TJson::object());
    auto Flag = [&](const char* Name) { return State.contains(Name) && State[Name] == true; };
    const bool Hot = Flag("hot"), Focused = Flag("focused"), Pressing = Flag("pressing");
    for (const auto& [Name, Value] : State.items())
      if (Name != "hot" && Name != "focused" && Name != "pressing")
        throw EGalleryError{"unknown state \"" + Name + "\""};

    // Hot tracking starts only while the program has an active window.
    if (!GetActiveWindow()) SetForegroundWindow(Form->Handle());
    if ((Hot || Pressing) && !GetActiveWindow())
      throw EGalleryError{"the form is not the active window, so the control cannot become hot"};
    if (Focused) Control->SetFocus();
    PumpUntilIdle(0);
    const POINT Centre = Control->ClientToScreen(POINT{Width / 2, Height / 2});
    if (Hot || Pressing) {
      // Two steps, so that the control gets a move inside it, not only an entry.
      MoveMouse(POINT{Centre.x - 1, Centre.y});
      MoveMouse(Centre);
    }
    // The button goes up again whatever happens, or the next case would
    // start with it held.
    struct TButtonRelease {
      POINT At;
      bool Held = false;
      void Up() {
        if (!Held) return;
        Held = false;
        SendMouse(MOUSEEVENTF_LEFTUP, At);
        PumpUntilIdle(0);
      }
      ~TButtonRelease() { Up(); }
    } Release{Centre};
    if (Pressing) {
      SendMouse(MOUSEEVENTF_LEFTDOWN, Centre);
      Release.Held = true;
    }
    PumpUntilIdle(Hot ? 150 : 50);

    TPicture Picture = Capture(Control->Handle(), Class->WholeWindow, Width, Height);
    Release.Up();
    Entry["height"] = Height;
    Entry["measured"] = Measure(*Class, Control.get());
    Control.reset();
    PumpUntilIdle(0);

    const std::string File = Entry["name"].get<std::string>() + ".bmp";
    WriteBmp(OutDir / File, Picture);
    Entry["file"] = File;
  }

 private:
  TForm* Form = nullptr;
  TButton* Sink = nullptr;
};

TJson ReadCases(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw TUsageError{"cannot read " + FileName};
  std::stringstream Text;
  Text << In.rdbuf();
  TJson J = TJson::parse(Text.str(), nullptr, false);
  if (J.is_discarded()) throw TUsageError{FileName + " is not JSON"};
  return J;
}

TJson CheckSchema(TJson J, const std::string& What) {
  if (!J.is_object() || J.value("format", 0) != 1 || !J.contains("cases") || !J["cases"].is_array())
    throw TUsageError{What + " is not a gallery case list of format 1"};
  return J;
}

int Main(int ArgC, char** ArgV) {
  std::vector<std::string> Args(ArgV + 1, ArgV + ArgC);
  TJson Cases;
  std::string OutDir;
  try {
    if (Args.size() == 1 && Args[0].rfind("--", 0) != 0) {
      Cases = CheckSchema(TJson::parse(BuiltInCases()), "the built-in table");
      OutDir = Args[0];
    } else if (Args.size() == 3 && Args[0] == "--cases") {
      Cases = CheckSchema(ReadCases(Args[1]), Args[1]);
      OutDir = Args[2];
    } else {
      throw TUsageError{"usage: lumora-gallery [--cases FILE] OUTDIR"};
    }
  } catch (const TUsageError& E) {
    std::fprintf(stderr, "lumora-gallery: %s\n", E.Message.c_str());
    return 2;
  }
  if (HDC Screen = GetDC(nullptr)) {
    const int Bits = GetDeviceCaps(Screen, BITSPIXEL);
    ReleaseDC(nullptr, Screen);
    if (Bits < 24)
      std::fprintf(
          stderr, "lumora-gallery: the display has %d bits per pixel; colours will differ\n", Bits);
  }
  std::error_code Ec;
  std::filesystem::create_directories(OutDir, Ec);
  if (!std::filesystem::is_directory(OutDir)) {
    std::fprintf(stderr, "lumora-gallery: cannot make %s\n", OutDir.c_str());
    return 2;
  }

  const TColor FormColor = static_cast<TColor>(Cases.value("form_color", 0x806040));
  TJson Font = Cases.value("font", TJson::object());
  const std::string Face = Font.value("face", std::string("Tahoma"));
  const int FontHeight = Font.value("height", -11);

  TJson Out = TJson::object();
  Out["format"] = 1;
  Out["tool"] = "lumora-gallery";
  Out["form_color"] = FormColor;
  Out["font"] = {{"face", Face}, {"height", FontHeight}};
  TJson Sys = TJson::object();
  for (int Index : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT})
    Sys[std::to_string(Index)] = static_cast<long long>(GetSysColor(Index));
  Out["syscolors"] = Sys;
  Out["cases"] = TJson::array();

  int Written = 0, Failed = 0;
  {
    TGallery Gallery(FormColor, Face, FontHeight);
    for (const TJson& Case : Cases["cases"]) {
      TJson Entry = TJson::object();
      const std::string Name = Case.is_object() ? Case.value("name", std::string()) : std::string();
      Entry["name"] = Name;
      for (const char* Key : {"control", "width", "height", "props", "state"})
        if (Case.is_object() && Case.contains(Key)) Entry[Key] = Case[Key];
      try {
        if (Name.empty() || Name.find_first_of("/\\:*?\"<>|") != std::string::npos)
          throw EGalleryError{"the case needs a name that can be a file name"};
        Gallery.Run(Case, OutDir, Entry);
        std::printf("%s: ok\n", Name.c_str());
        ++Written;
      } catch (const EGalleryError& E) {
        Entry.erase("measured");
        Entry.erase("file");
        Entry["error"] = E.Message;
        std::printf("%s: error: %s\n", Name.c_str(), E.Message.c_str());
        ++Failed;
      } catch (const std::exception& E) {
        Entry.erase("measured");
        Entry.erase("file");
        Entry["error"] = E.what();
        std::printf("%s: error: %s\n", Name.c_str(), E.what());
        ++Failed;
      }
      std::fflush(stdout);
      Out["cases"].push_back(Entry);
    }
  }
  std::ofstream Json(std::filesystem::path(OutDir) / "cases.json", std::ios::binary);
  Json << Out.dump(2) << "\n";
  if (!Json) {
    std::fprintf(stderr, "lumora-gallery: cannot write cases.json\n");
    return 1;
  }
  std::printf("%d written, %d failed\n", Written, Failed);
  return Failed ? 1 : 0;
}

}  // namespace
}  // namespace lumora::gallery

int main(int ArgC, char** ArgV) {
  return lumora::gallery::Main(ArgC, ArgV);
}
