#pragma once
// Running lumora-gallery from a test and reading what it wrote: the BMP
// files and cases.json. Each control's pixel checks live in a file of their
// own (GalleryButtonTest.cpp ...) and share the run of the built-in table.

#include <windows.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ui/Color.h"

namespace lumora::test {

using TJson = nlohmann::ordered_json;

// A picture read from a 24- or 32-bit BMP file, bottom-up or top-down.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<TColor> Pixels;  // row by row from the top, 0x00BBGGRR
  TColor At(int X, int Y) const { return Pixels.at(static_cast<size_t>(Y * Width + X)); }
};
// Throws std::runtime_error when the file cannot be read as such a BMP.
TPicture ReadBmp(const std::string& File);

struct TGalleryRun {
  int ExitCode = -1;
  std::string Output;  // what the tool printed
  std::string Dir;     // its OUTDIR
  TJson Cases;         // cases.json, or null when it wrote none

  // The entry of cases.json for Name, or nullptr.
  const TJson* Case(const std::string& Name) const;
  // NAME.bmp of a written case; throws when there is none.
  TPicture Picture(const std::string& Name) const;
};

// Runs lumora-gallery with Args (before OUTDIR) into a new temporary folder.
TGalleryRun RunGallery(const std::vector<std::string>& Args);
// The built-in table, run once for the whole test binary.
const TGalleryRun& FullGallery();
// A new empty temporary folder.
std::string MakeTempDir();

// The system colour of an index as the tool read it (cases.json syscolors).
TColor SysColor(const TGalleryRun& Run, int Index);

}  // namespace lumora::test
