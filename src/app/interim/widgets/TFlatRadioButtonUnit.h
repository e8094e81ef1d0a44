#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatRadioButton : public interim::TCheckButton {
 public:
  explicit TFlatRadioButton(TComponent* AOwner) : TCheckButton(AOwner, BS_AUTORADIOBUTTON) {}
};
}  // namespace lumora
