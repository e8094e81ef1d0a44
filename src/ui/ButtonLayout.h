#pragma once
// Where a button puts its glyph relative to its caption.

namespace lumora {

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };

}  // namespace lumora
