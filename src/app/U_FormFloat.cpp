#include "app/U_FormFloat.h"

#include "dragdrop/DropURLTarget.h"
#include "grab/PicQueue.h"
#include "grab/TThreadmain.h"
#include "ui/Bitmap.h"
#include "ui/MainThread.h"
#include "ui/Menus.h"
#include "widgets/a.h"

namespace lumora {

TFormFloat* FormFloat = nullptr;

// Jobs and workers call from their own threads and may outlive the window.
// Each change is queued to the GUI thread in the order asked, and there it
// finds the window, or nothing once the window is gone.
class TFloatView : public TGrabView, public std::enable_shared_from_this<TFloatView> {
 public:
  explicit TFloatView(TFormFloat* Form) : FForm(Form) {}
  void Detach() { FForm = nullptr; }  // GUI thread

  void ShowBusyPicture() override {
    Queue([](TFormFloat& F) { F.ShowBusyPicture(); });
  }
  void ShowIdlePicture() override {
    Queue([](TFormFloat& F) { F.ShowIdlePicture(); });
  }
  void ClearAddress() override {
    Queue([](TFormFloat& F) { F.Edit1->SetText(""); });
  }
  void SaveFolderFailed(const std::string& Folder, TFileError Error) override {
    Queue([Text = FolderFailureText(Folder, Error)](TFormFloat& F) {
      if (F.OnSaveFolderFailed) F.OnSaveFolderFailed(Text);
    });
  }

 private:
  template <class TProc>
  void Queue(TProc Proc) {
    QueueToMainThread([Self = shared_from_this(), Proc] {
      if (Self->FForm) Proc(*Self->FForm);
    });
  }
  TFormFloat* FForm;  // read and written on the GUI thread only
};

namespace {

constexpr char Image1Hint[] =
    "Lumora:  drop URL or hyperlink onto it. Or open the popup menu for more information";

std::unique_ptr<TBitmap> ResourceBitmap(const char* Name) {
  auto B = std::make_unique<TBitmap>();
  B->LoadFromResource(GetModuleHandleA(nullptr), Name);
  return B;
}

}  // namespace

TFormFloat::TFormFloat(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormFloat");
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetParentColor(false);
  SetColor(RGB(128, 0, 255));
  SetVisible(false);
  SetBounds(669, 124, 56, 30);

  DovaTranPanel1 = new TDovaTranPanel(this);
  DovaTranPanel1->SetName("DovaTranPanel1");
  DovaTranPanel1->SetBounds(0, 0, 57, 33);
  DovaTranPanel1->SetBorder(false);
  DovaTranPanel1->SetParent(this);

  const std::unique_ptr<TBitmap> Idle = ResourceBitmap("FLOATIDLE");
  const std::unique_ptr<TBitmap> Busy = ResourceBitmap("FLOATBUSY");
  auto MakeImage = [this](const char* Name, TWinControl* Parent, int X, int Y,
                          const TBitmap& Picture) {
    auto* I = new TImage(this);
    I->SetName(Name);
    I->SetAutoSize(true);
    I->SetBounds(X, Y, 56, 30);
    I->SetPicture(Picture);
    I->SetParent(Parent);
    return I;
  };
  Image1 = MakeImage("Image1", DovaTranPanel1, 0, 0, *Idle);
  Image1->SetHint(Image1Hint);
  Image1->SetShowHint(true);
  // The stores lie outside the visible area.
  Image2 = MakeImage("Image2", this, 32, 80, *Idle);
  Image3 = MakeImage("Image3", this, 32, 112, *Busy);

  Edit1 = new TEdit(this);
  Edit1->SetName("Edit1");
  Edit1->SetVisible(false);
  Edit1->SetText("");
  Edit1->SetParent(this);
  Button1 = new TButton(this);
  Button1->SetName("Button1");
  Button1->SetVisible(false);
  Button1->SetParent(this);

  using namespace std::placeholders;
  for (TControl* C : {static_cast<TControl*>(this), static_cast<TControl*>(DovaTranPanel1),
                      static_cast<TControl*>(Image1)}) {
    C->OnMouseDown = std::bind(&TFormFloat::DragMouseDown, this, _1, _2, _3, _4, _5);
    C->OnMouseMove = std::bind(&TFormFloat::DragMouseMove, this, _1, _2, _3, _4);
    C->OnMouseUp = std::bind(&TFormFloat::DragMouseUp, this, _1, _2, _3, _4, _5);
  }
  Image1->OnClick = [this](TObject* S) { Image1Click(S); };
  Image1->OnDblClick = [this](TObject* S) { Image1DblClick(S); };
  Edit1->OnChange = [this](TObject* S) { Edit1Change(S); };
  JobStarter = &TThreadmain::Start;
  SelectionStarter = &TThreadmain::StartSelection;
  OnCreate = [this](TObject* S) { FormCreate(S); };
  OnDestroy = [this](TObject* S) { FormDestroy(S); };
}

TFormFloat::~TFormFloat() = default;

void TFormFloat::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  // A top-level window of its own: not hidden or minimised with the
  // application window, and no taskbar button.
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
}

void TFormFloat::FormCreate(TObject*) {
  // The queue's lock lives inside the queue.
  SetBounds(Left(), Top(), Image1->Width(), Image1->Height());
  // Exactly the tool-window style; the window stays topmost all the same.
  // This must come before the alpha, which adds the layered style.
  SetWindowLongA(Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  SetAlphaBlendValue(200);
  SetAlphaBlend(true);
  DropURLTarget1 = new TDropURLTarget(this);
  DropURLTarget1->OnDrop = [this](TObject* S, TShiftState, TDropPoint, std::uint32_t&) {
    DropURLTarget1Drop(S);
  };
  // Selections are today's web: asked at each drag, so the switch counts
  // from the next drag on.
  DropURLTarget1->TakesSelections = [] { return GrabSettings().TodaysWeb(); };
  DropURLTarget1->Register(this);
  FPicQueue = std::make_shared<TPicQueue>();
  FView = std::make_shared<TFloatView>(this);
}

void TFormFloat::FormDestroy(TObject*) {
  // The view first, whatever fails after it: a report of that failure runs
  // a message loop, which must not hand queued worker updates to a window
  // that is going. Running workers keep their own share of the queue; the
  // window's is let go.
  if (FView) FView->Detach();
  FPicQueue.reset();
  if (DropURLTarget1) {
    const std::unique_ptr<TDropURLTarget> Target(DropURLTarget1);
    DropURLTarget1 = nullptr;
    Target->Unregister();
  }
}

std::shared_ptr<TGrabView> TFormFloat::View() const {
  return FView;
}

void TFormFloat::SetPopup(TPopupMenu* Menu) {
  Image1->SetPopupMenu(Menu);
}

void TFormFloat::DropURLTarget1Drop(TObject*) {
  if (DropURLTarget1->HasSelection()) {
    const THtmlFormat& S = DropURLTarget1->Selection();
    if (!FPicQueue || !SelectionStarter) return;
    ShowBusyPicture();
    // A job that cannot start leaves nobody to set the window idle.
    if (!SelectionStarter(TGrabShared{FPicQueue, FView, nullptr},
                          TDroppedSelection{S.Fragment, S.SourceURL}))
      ShowIdlePicture();
    return;
  }
  // Setting the same text again raises no change, so an address still
  // being grabbed is not grabbed twice.
  if (!DropURLTarget1->URL().empty()) Edit1->SetText(DropURLTarget1->URL());
}

void TFormFloat::Edit1Change(TObject*) {
  // A worker empties Edit1 at the end of a job: that change starts nothing.
  const std::string Address = Edit1->Text();
  if (Address.empty() || !FPicQueue || !JobStarter) return;
  if (JobStarter(TGrabShared{FPicQueue, FView, nullptr}, Address)) return;
  // No job will ever empty Edit1: without this the same address could not
  // be dropped again.
  ShowIdlePicture();
  Edit1->SetText("");
}

void TFormFloat::ShowBusyPicture() {
  Image1->SetPicture(Image3->Picture());
}
void TFormFloat::ShowIdlePicture() {
  Image1->SetPicture(Image2->Picture());
}

void TFormFloat::Image1Click(TObject*) {
  if (OnShowMainWindow) OnShowMainWindow(this);
}

void TFormFloat::Image1DblClick(TObject*) {
  if (OnShowMainWindow) OnShowMainWindow(this);
}

void TFormFloat::DragMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  FDragging = true;
  FDragPoint = POINT{X, Y};
}

void TFormFloat::DragMouseMove(TObject*, TShiftState, int X, int Y) {
  if (FDragging) SetBounds(Left() + X - FDragPoint.x, Top() + Y - FDragPoint.y, Width(), Height());
}

void TFormFloat::DragMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  FDragging = false;
}

}  // namespace lumora
