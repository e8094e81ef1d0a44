// The built-in cases of lumora-gallery, every row of the gallery's table,
// in the schema of a --cases file. Rows of controls that the tool does not
// know yet fail with "unknown control" while the others are written.

#include "GalleryCases.h"

namespace lumora::gallery {

// clang-format off
const char* BuiltInCases() {
  return R"json(
{"format": 1, "form_color": 8413248, "font": {"face": "Tahoma", "height": -11},
  "cases": [
    {"name": "button-up-cold", "control": "TFlatButton", "width": 60, "height": 21, "props": [["Caption", "OK"], ["Color", 16759753], ["ColorFocused", 16749480]], "state": {}},
    {"name": "button-up-cold-default", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["Default", true]], "state": {}},
    {"name": "button-up-hot", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480]], "state": {"hot": true}},
    {"name": "button-up-hot-default", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["Default", true]], "state": {"hot": true}},
    {"name": "button-down", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480]], "state": {"hot": true, "pressing": true}},
    {"name": "button-disabled", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["Enabled", false]], "state": {}},
    {"name": "button-disabled-default", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["Default", true], ["Enabled", false]], "state": {}},
    {"name": "button-exclusive-cold", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["GroupIndex", 1], ["Down", true]], "state": {}},
    {"name": "button-exclusive-hot", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["GroupIndex", 1], ["Down", true]], "state": {"hot": true}},
    {"name": "button-tmalways-cold", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["TransparentMode", "tmAlways"]], "state": {}},
    {"name": "button-tmnotfocused-cold", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["TransparentMode", "tmNotFocused"]], "state": {}},
    {"name": "button-tmnotfocused-hot", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 16759753], ["ColorFocused", 16749480], ["TransparentMode", "tmNotFocused"]], "state": {"hot": true}},
    {"name": "button-useadv-cold", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["UseAdvColors", true]], "state": {}},
    {"name": "button-useadv-hot", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["UseAdvColors", true]], "state": {"hot": true}},
    {"name": "button-custom-down", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Caption", "&OK"], ["Color", 12648384], ["ColorFocused", 10543264], ["ColorDown", 6328416], ["ColorBorder", 2113568], ["ColorHighLight", 14745568], ["ColorShadow", 12288]], "state": {"hot": true, "pressing": true}},
    {"name": "button-glyph-left-margin0", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [16, 16, 1]}], ["Caption", "&Copy"], ["Layout", "blGlyphLeft"], ["Margin", 0]], "state": {}},
    {"name": "button-glyph-left-disabled", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [16, 16, 1]}], ["Caption", "&Copy"], ["Layout", "blGlyphLeft"], ["Margin", 0], ["Enabled", false]], "state": {}},
    {"name": "button-glyph2-disabled", "control": "TFlatButton", "width": 25, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [32, 16, 2]}], ["Enabled", false]], "state": {}},
    {"name": "button-glyph4-up", "control": "TFlatButton", "width": 25, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [64, 16, 4]}]], "state": {}},
    {"name": "button-glyph4-down", "control": "TFlatButton", "width": 25, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [64, 16, 4]}]], "state": {"hot": true, "pressing": true}},
    {"name": "button-glyph4-exclusive", "control": "TFlatButton", "width": 25, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [64, 16, 4]}], ["GroupIndex", 1], ["Down", true]], "state": {}},
    {"name": "button-glyph-right-auto", "control": "TFlatButton", "width": 75, "height": 25, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [16, 16, 1]}], ["Caption", "&Copy"], ["Layout", "blGlyphRight"], ["Margin", -1], ["Spacing", -1]], "state": {}},
    {"name": "button-glyph-bottom", "control": "TFlatButton", "width": 50, "height": 50, "props": [["Color", 16759753], ["ColorFocused", 16749480], ["Glyph", {"test_glyph": [16, 16, 1]}], ["Caption", "&Copy"], ["Layout", "blGlyphBottom"], ["Margin", 3], ["Spacing", -1]], "state": {}},
    {"name": "checkbox-unchecked", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281]], "state": {}},
    {"name": "checkbox-checked", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["Checked", true]], "state": {}},
    {"name": "checkbox-checked-hot", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["Checked", true]], "state": {"hot": true}},
    {"name": "checkbox-checked-pressing", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["Checked", true]], "state": {"hot": true, "focused": true, "pressing": true}},
    {"name": "checkbox-unchecked-focused", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281]], "state": {"focused": true}},
    {"name": "checkbox-right-checked", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["ColorCheck", 128], ["Layout", "checkboxRight"], ["Checked", true]], "state": {}},
    {"name": "checkbox-disabled-checked", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["Checked", true], ["Enabled", false]], "state": {}},
    {"name": "checkbox-transparent-checked", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["Color", 16761281], ["Checked", true], ["Transparent", true]], "state": {}},
    {"name": "checkbox-useadv-hot", "control": "TFlatCheckBox", "width": 121, "height": 17, "props": [["Caption", "Check me"], ["UseAdvColors", true], ["Checked", true]], "state": {"hot": true}},
    {"name": "radio-unchecked", "control": "TFlatRadioButton", "width": 121, "height": 17, "props": [["Caption", "Pick me"], ["Color", 16761281]], "state": {}},
    {"name": "radio-checked-hot", "control": "TFlatRadioButton", "width": 121, "height": 17, "props": [["Caption", "Pick me"], ["Color", 16761281], ["ColorDot", 192], ["Checked", true]], "state": {"hot": true}},
    {"name": "radio-right-checked-disabled", "control": "TFlatRadioButton", "width": 121, "height": 17, "props": [["Caption", "Pick me"], ["Color", 16761281], ["Layout", "radioRight"], ["Checked", true], ["Enabled", false]], "state": {}},
    {"name": "groupbox-full-caption", "control": "TFlatGroupBox", "width": 185, "height": 105, "props": [["Caption", "Options"], ["Color", 16448250]], "state": {}},
    {"name": "groupbox-full-empty", "control": "TFlatGroupBox", "width": 185, "height": 105, "props": [["Color", 16448250]], "state": {}},
    {"name": "groupbox-toponly-caption", "control": "TFlatGroupBox", "width": 185, "height": 105, "props": [["Caption", "Options"], ["Color", 16448250], ["Border", "brOnlyTopLine"]], "state": {}},
    {"name": "groupbox-disabled", "control": "TFlatGroupBox", "width": 185, "height": 105, "props": [["Caption", "Options"], ["Color", 16448250], ["ColorBorder", 160], ["Enabled", false]], "state": {}},
    {"name": "groupbox-wide-caption", "control": "TFlatGroupBox", "width": 60, "height": 40, "props": [["Caption", "A caption far wider than the box"], ["Color", 16448250]], "state": {}},
    {"name": "groupbox-useadv", "control": "TFlatGroupBox", "width": 185, "height": 105, "props": [["Caption", "Options"], ["UseAdvColors", true]], "state": {}},
    {"name": "panel-center", "control": "TFlatPanel", "width": 185, "height": 41, "props": [["Caption", "Panel"], ["Color", 14737632], ["ColorHighLight", 16777215], ["ColorShadow", 4210752]], "state": {}},
    {"name": "panel-left", "control": "TFlatPanel", "width": 185, "height": 41, "props": [["Caption", "Panel"], ["Color", 14737632], ["Alignment", "taLeftJustify"]], "state": {}},
    {"name": "panel-right-disabled", "control": "TFlatPanel", "width": 185, "height": 41, "props": [["Caption", "Panel"], ["Color", 14737632], ["ColorHighLight", 16777215], ["ColorShadow", 4210752], ["Alignment", "taRightJustify"], ["Enabled", false]], "state": {}},
    {"name": "panel-same-colour", "control": "TFlatPanel", "width": 185, "height": 41, "props": [["Color", 16761281], ["ColorHighLight", 16761281], ["ColorShadow", 16761281]], "state": {}},
    {"name": "panel-transparent", "control": "TFlatPanel", "width": 185, "height": 41, "props": [["Caption", "Panel"], ["Color", 14737632], ["ColorHighLight", 16777215], ["ColorShadow", 0], ["Transparent", true]], "state": {}},
    {"name": "edit-flat", "control": "TFlatEdit", "width": 121, "height": null, "props": [["ColorFlat", 16761281]], "state": {}},
    {"name": "edit-hot", "control": "TFlatEdit", "width": 121, "height": null, "props": [["ColorFlat", 16761281]], "state": {"hot": true}},
    {"name": "edit-focused", "control": "TFlatEdit", "width": 121, "height": null, "props": [["ColorFlat", 16761281], ["ColorFocused", 14745599]], "state": {"focused": true}},
    {"name": "edit-useadv-hot", "control": "TFlatEdit", "width": 121, "height": null, "props": [["ColorFlat", 16761281], ["UseAdvColors", true]], "state": {"hot": true}},
    {"name": "edit-disabled", "control": "TFlatEdit", "width": 121, "height": null, "props": [["ColorFlat", 16761281], ["Enabled", false]], "state": {}},
    {"name": "tranpanel-border-caption", "control": "TDovaTranPanel", "width": 185, "height": 41, "props": [["Caption", "Drop_here"], ["Border", true]], "state": {}},
    {"name": "tranpanel-noborder-caption", "control": "TDovaTranPanel", "width": 185, "height": 41, "props": [["Caption", "Drop here"]], "state": {}},
    {"name": "tranpanel-twoline-border", "control": "TDovaTranPanel", "width": 185, "height": 40, "props": [["Caption", "One_\r\nTwo_"], ["Border", true]], "state": {}}
  ]})json";
}
// clang-format on

}  // namespace lumora::gallery
