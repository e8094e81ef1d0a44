#pragma once
// A shown form registered as a drop window, driven the way OLE drives it:
// through the IDropTarget that the window registered.

#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/UiTestSupport.h"

namespace lumora::test {

class TDropWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = new TForm(&Application());
    Form->SetName("Form1");
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(100, 100, 300, 200);
    Form->SetColor(clWhite);
    // Hidden: OLE drives a hidden window all the same, and Wine without a
    // window manager waits two seconds for a shown window to go away.
    Form->HandleNeeded();
  }
  void TearDown() override {
    delete Form;
    for (const TCaughtBox& Box : Boxes.Boxes) ADD_FAILURE() << "message box: " << Box.Text;
  }

  // What OLE finds registered for a window: the IDropTarget it will call.
  static IDropTarget* RegisteredTarget(HWND Window) {
    return static_cast<IDropTarget*>(GetPropA(Window, "OleDropTargetInterface"));
  }
  POINTL At(int X, int Y) const {
    const POINT P = Form->ClientToScreen(POINT{X, Y});
    return POINTL{P.x, P.y};
  }

  TMessageBoxCatcher Boxes;
  TForm* Form = nullptr;
};

}  // namespace lumora::test
