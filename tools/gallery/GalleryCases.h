#pragma once
// The cases lumora-gallery writes when it is given no --cases file.

namespace lumora::gallery {

// A JSON object {"format": 1, "form_color": ..., "font": {...}, "cases": [...]}.
const char* BuiltInCases();

}  // namespace lumora::gallery
