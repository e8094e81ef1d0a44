#pragma once
// The installer owns the program, never the user's settings. It puts the
// supplied settings under "defaults\task\" beside the program; at start the
// program copies each of them into "task\" when no file of that name is
// there yet. The user's files in "task\" are thus the user's: an upgrade or
// an uninstall, which replace or remove only what the installer put there,
// leave them as they are. Without a "defaults" folder (the build tree, the
// portable zip) nothing is made, and the program's settings file must exist
// before its first start, as ever.

#include <string>

namespace lumora {

// Copies every file of AppDir "defaults\task\" that "task\" lacks, making
// "task\" when needed; never replaces a file. AppDir ends with a backslash.
// Gives the number of files copied. What cannot be copied is left: the
// settings load then reports the missing file as it always does.
int CopyMissingSettings(const std::string& AppDir);

}  // namespace lumora
