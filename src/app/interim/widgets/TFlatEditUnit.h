#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatEdit : public TEdit {
 public:
  explicit TFlatEdit(TComponent* AOwner) : TEdit(AOwner) {}
  void SetColorFlat(TColor) {}
};
}  // namespace lumora
