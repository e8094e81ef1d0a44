#pragma once
// The picture types Lumora saves and the one rule that tells whether an
// address is of an enabled type.
//
// The first line of the settings holds ".JPG", ".BMP", ".GIF", ".TIF",
// ".PNG", ".WEBP" and ".AVIF", in that order, for each type switched on.
// The four first types keep their old test: the last three characters of
// the address, upper-cased, found anywhere in that line. The newer types are
// tested on the whole ending (".webp"), since three characters of theirs
// would match far too much: "EBP" stands inside ".WEBP" and "AVI" inside
// ".AVIF". So that the old test cannot match across them either, it runs on
// the line with the newer names blanked out: a line of old types alone gives
// exactly the answers it always gave.

#include <string>
#include <string_view>

namespace lumora {

struct TPictureType {
  const char* Name;   // as the settings line and the settings panel spell it: "JPG"
  const char* Token;  // what the settings line holds for it: ".JPG"
  bool Old;           // one of the four types the old test serves
};

inline constexpr TPictureType PictureTypes[] = {{"JPG", ".JPG", true},   {"BMP", ".BMP", true},
                                                {"GIF", ".GIF", true},   {"TIF", ".TIF", true},
                                                {"PNG", ".PNG", false},  {"WEBP", ".WEBP", false},
                                                {"AVIF", ".AVIF", false}};

// Every type switched on, as the supplied settings file has it.
inline constexpr char AllPictureTypes[] = ".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF";

// Whether the settings line switches the type of this name on: its name
// occurs in the line (letter case counts, as on the settings panel). For the
// four old types the name is looked for in the line with the newer names
// blanked out.
bool IsPictureTypeEnabled(std::string_view Name, std::string_view PicTypes);

// The type test of an address. With TodaysWeb, ".jpeg", ".jpe" and ".jfif"
// endings count as JPG and ".tiff" as TIF.
bool IsAddressTypeEnabled(std::string_view Address, std::string_view PicTypes, bool TodaysWeb);

// An address that names a picture by its ending, whatever types are on: the
// last three characters are JPG, BMP, GIF or TIF, or it ends in ".png",
// ".webp" or ".avif" (with TodaysWeb also ".jpeg", ".jpe", ".jfif", ".tiff").
bool HasPictureEnding(std::string_view Address, bool TodaysWeb);

// The type name of a MIME type such as "image/webp" or "image/jpeg;
// q=0.9"; empty for one Lumora does not save.
std::string_view PictureTypeOfMime(std::string_view Mime);

// The ending a file of the type of this name takes: "JPG" gives ".jpg".
std::string PictureTypeExtension(std::string_view Name);

// A media type that is plainly no picture: a page, a script, data (text/*,
// HTML, XML, JSON, JavaScript). An error page served with 200 says so. An
// empty or unknown type, application/octet-stream included, says nothing.
bool IsPlainlyNotPicture(std::string_view MediaType);

// The first bytes of a body that is markup, whatever its Content-Type
// claims: after any white space and a UTF-8 byte order mark, a "<". None of
// the types Lumora saves starts so; an error page does.
bool StartsLikeMarkup(std::string_view FirstBytes);

}  // namespace lumora
