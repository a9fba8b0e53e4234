#pragma once
// TPluginLinearBitmap: a linear bitmap over the host's own pixel memory. Nothing is copied:
// reads see the host's current pixels and writes land in the host's image at once.

#include "image/LinarBitmap.h"
#include "hostabi/HostInterface.h"

class TPluginLinearBitmap : public TLinearBitmap {
 public:
  explicit TPluginLinearBitmap(const THostImage& image);

  const char* ClassName() const noexcept override { return "TPluginLinearBitmap"; }
  void Dispose() override;

  // Points the bitmap at the host's image; refuses records it cannot address safely.
  void Attach(const THostImage& image);

  // The host's pixels while the bitmap still works on them; null once it has replaced its
  // storage (PackLines, or New with another size or format) or is empty.
  const uint8_t* HostMap() const noexcept { return FPresent && !FOwnedMap ? FMap : nullptr; }
  const uint8_t* HostPalette() const noexcept { return FHostPalette; }

 private:
  const uint8_t* FHostPalette = nullptr;
};
