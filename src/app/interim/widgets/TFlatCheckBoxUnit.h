#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatCheckBox : public interim::TCheckButton {
 public:
  explicit TFlatCheckBox(TComponent* AOwner) : TCheckButton(AOwner, BS_AUTOCHECKBOX) {}
};
}  // namespace lumora
