#pragma once
// The floating drop window: a small, borderless, see-through picture that
// stays above every other window and has no taskbar button. A link dropped
// on it goes into the hidden field Edit1, whose change starts a grab job;
// jobs and workers switch its picture between busy and idle. With today's
// web, a selection dropped from a browser starts a job of its own at once
// (it is no address, so it does not pass through Edit1). Any mouse
// button drags it about. It owns the download queue and the drop target.

#include <functional>
#include <memory>
#include <string>

#include "grab/GrabJob.h"
#include "grab/GrabView.h"
#include "grab/TThreaddownloadpic.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace lumora {

class TDovaTranPanel;
class TDropURLTarget;
class TPicQueue;
class TPopupMenu;
class TFloatView;

class TFormFloat : public TForm {
 public:
  explicit TFormFloat(TComponent* AOwner);
  ~TFormFloat() override;

  TDovaTranPanel* DovaTranPanel1;
  TImage* Image1;
  TImage* Image2;
  TImage* Image3;
  TEdit* Edit1;
  TButton* Button1;
  TDropURLTarget* DropURLTarget1 = nullptr;

  // The right-button menu of the picture (the main window's menu).
  void SetPopup(TPopupMenu* Menu);
  // What a click on the picture does; nothing until the main window exists.
  TNotifyEvent OnShowMainWindow;
  // With today's web, what a grab whose save folder refused its pictures
  // says, once per grab ("Lumora could not save into D:\pic\: access
  // denied"); on the GUI thread. The main window shows it at the tray icon.
  std::function<void(const std::string& Text)> OnSaveFolderFailed;

  // What grab jobs and workers see of this window; it stays valid after the
  // window is gone, and then changes nothing.
  std::shared_ptr<TGrabView> View() const;
  std::shared_ptr<TPicQueue> PicQueue() const { return FPicQueue; }

  // How a new address in Edit1 becomes a grab job: TThreadmain::Start, or
  // in tests a starter that records the jobs or fails as a system short of
  // threads would.
  std::function<bool(const TGrabShared&, std::string)> JobStarter;
  // The same for a dropped selection: TThreadmain::StartSelection.
  std::function<bool(const TGrabShared&, TDroppedSelection)> SelectionStarter;

  // The GUI-thread side of the view.
  void ShowBusyPicture();
  void ShowIdlePicture();

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void DropURLTarget1Drop(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Image1Click(TObject* Sender);
  void Image1DblClick(TObject* Sender);
  // One drag state for the window, the panel and the picture.
  void DragMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DragMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void DragMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  bool FDragging = false;
  POINT FDragPoint{};
  std::shared_ptr<TPicQueue> FPicQueue;
  std::shared_ptr<TFloatView> FView;
};

extern TFormFloat* FormFloat;

}  // namespace lumora
