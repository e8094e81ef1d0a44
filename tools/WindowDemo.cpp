// A small demonstration of the window layer, not shipped: one form with a
// few stock controls, a self-drawn panel with a bevel that lights up under
// the mouse, a hint and a popup menu. `lumora-window-demo [seconds]` closes
// itself after that many seconds.

#include <cstdlib>
#include <string>

#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Button.h"
#include "ui/Canvas.h"
#include "ui/ControlCanvas.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Menus.h"
#include "ui/Timer.h"
#include "widgets/FlatUtilitys.h"

namespace lumora {
namespace {

// A panel in the flat style: a face colour and a one-pixel bevel, whose
// frame turns dark while the mouse is over it. It paints every pixel, so it
// is opaque and never erased first; the frame changes at once, drawn outside
// a paint.
class TBevelPanel : public TCustomControl {
 public:
  explicit TBevelPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque);
  }

  void WndProc(TMessage& M) override {
    TCustomControl::WndProc(M);
    if (M.Msg == CM_MOUSEENTER || M.Msg == CM_MOUSELEAVE) {
      TControlCanvas Surface(*this);
      if (Surface.Handle()) DrawFrame(Surface);
    }
  }

 protected:
  void Paint() override {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(R);
    DrawFrame(Canvas());
    Canvas().Brush().SetStyle(bsClear);
    Canvas().DrawText(Caption(), R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

 private:
  void DrawFrame(TCanvas& On) {
    const TColor Shadow = MouseInControl() ? 0x404040 : 0x8396A0;
    DrawBevelFrame(On, ClientRect(), clWhite, Shadow, 1);
  }
};

class TDemoForm : public TForm {
 public:
  explicit TDemoForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Lumora window layer");
    SetBounds(120, 120, 360, 220);
    SetColor(0xFFC1C1);

    auto* Title = new TLabel(this);
    Title->SetParent(this);
    Title->SetBounds(16, 12, 0, 0);
    Title->Font().SetStyle(fsBold);
    Title->SetCaption("Drop a link on Lumora");

    auto* Address = new TEdit(this);
    Address->SetParent(this);
    Address->SetBounds(16, 40, 220, 21);
    Address->SetText("http://example.com/gallery.html");

    auto* Status = new TLabel(this);
    Status->SetParent(this);
    Status->SetBounds(16, 150, 0, 0);
    Status->SetCaption("Ready.");

    auto* Grab = new TButton(this);
    Grab->SetParent(this);
    Grab->SetBounds(248, 38, 80, 25);
    Grab->SetCaption("&Grab");
    Grab->SetHint("Grab the pictures of this page");
    Grab->SetShowHint(true);
    Grab->OnClick = [Status, Address](TObject*) {
      Status->SetCaption("Grabbing " + Address->Text());
    };

    auto* Panel = new TBevelPanel(this);
    Panel->SetParent(this);
    Panel->SetBounds(16, 76, 150, 60);
    Panel->SetColor(0xE1EAEB);
    Panel->SetCaption("Flat panel");

    auto* Picture = new TImage(this);
    Picture->SetParent(this);
    Picture->SetBounds(180, 76, 56, 30);
    TBitmap& B = Picture->Picture();
    B.SetSize(56, 30);
    B.Canvas().Brush().SetColor(0x004000);
    RECT All{0, 0, 56, 30};
    B.Canvas().FillRect(All);
    DrawBevelFrame(B.Canvas(), All, 0x00D7FF, 0x0080B0, 2);
    B.Canvas().Font().SetColor(clRed);
    B.Canvas().Brush().SetStyle(bsClear);
    B.Canvas().DrawText("Lumora", All, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Picture->SetHint("Lumora:  drop URL or hyperlink onto it");
    Picture->SetShowHint(true);

    auto* Menu = new TPopupMenu(this);
    for (const char* Caption : {"Set", "Folder", "Help", "About", "Exit"}) {
      auto* Item = new TMenuItem(this);
      Item->SetCaption(Caption);
      Menu->Items().Add(Item);
      if (std::string(Caption) == "Exit") Item->OnClick = [this](TObject*) { Close(); };
    }
    Picture->SetPopupMenu(Menu);
  }
};

}  // namespace
}  // namespace lumora

int main(int argc, char** argv) {
  using namespace lumora;
  TDemoForm* Form = nullptr;
  Application().CreateForm(Form);
  TTimer Closer(nullptr);
  if (argc > 1) {
    Closer.SetInterval(static_cast<unsigned>(std::atoi(argv[1]) * 1000));
    Closer.SetOnTimer([Form](TObject*) { Form->Close(); });
  }
  Application().Run();
  return 0;
}
