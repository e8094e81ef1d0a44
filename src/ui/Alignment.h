#pragma once
// How a control places its text across its width: the label, and the flat
// controls that carry a caption of their own.

namespace lumora {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace lumora

namespace lumora {

// Where a control sits in its parent, and which parent edges it keeps its
// distance to. The layer stores both for the forms' designs; it lays
// nothing out by them.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

}  // namespace lumora
