#pragma once
// How a control places its text across its width: the label, and the flat
// controls that carry a caption of their own.

namespace lumora {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace lumora
