#pragma once
#include "widgets/InterimFlat.h"
namespace lumora {
class TFlatGroupBox : public interim::TBoxPanel {
 public:
  using TBoxPanel::TBoxPanel;
};
}  // namespace lumora
