#pragma once
// An icon that owns its HICON: it is destroyed when replaced or when the
// icon goes. Shared icons (LoadIcon, LR_SHARED) must not be handed over.

#include <windows.h>

#include <string>

#include "sys/Object.h"

namespace lumora {

class TIcon : public TObject {
 public:
  TIcon() = default;
  ~TIcon() override;

  HICON Handle() const { return FHandle; }
  // Takes ownership of Value (0 empties the icon).
  void SetHandle(HICON Value);
  // Gives the icon up without destroying it; the icon is empty afterwards.
  HICON ReleaseHandle();

  bool Empty() const { return FHandle == nullptr; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // A copy of Source's icon (CopyIcon); an empty source empties this one.
  void Assign(const TIcon&);
  // An icon resource of the given size; 0 takes the system's icon size.
  // Throws ELumoraError when there is no such icon.
  void LoadFromResource(HINSTANCE Instance, const char* Name, int AWidth = 0, int AHeight = 0);
  void LoadFromResourceID(HINSTANCE Instance, int Id, int AWidth = 0, int AHeight = 0);
  void LoadFromFile(const std::string& FileName, int AWidth = 0, int AHeight = 0);

  TNotifyEvent OnChange;

 private:
  void Load(HINSTANCE Instance, const char* Name, UINT Flags, int AWidth, int AHeight,
            const std::string& What);

  HICON FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

}  // namespace lumora
