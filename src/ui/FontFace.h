#pragma once
// Faces the windows are laid out for. Windows has them; a system without
// one (Wine without Microsoft's fonts) would draw its text in some wider
// face, and captions would no longer fit their controls. Such a process can
// take the face from a font file of its own, for itself alone.

#include <string>

namespace lumora {

// True when the system has a font of the face name Face.
bool HasFontFace(const std::string& Face);

// Where the system lacks Face, adds the fonts of File (a .fon or .ttf file)
// for this process alone, unseen by other programs. Does nothing where the
// system has the face, so there what it shows stays as it is. True when Face
// is there afterwards.
bool ProvideFontFace(const std::string& Face, const std::string& File);

}  // namespace lumora
