#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatPanel : public interim::TBoxPanel {
 public:
  using TBoxPanel::TBoxPanel;
};
}  // namespace lumora
