// Solid brushes by colour, made once each and deleted with the cache (with the dialog).
#pragma once

#include <cstdint>
#include <map>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

class BrushCache {
 public:
  BrushCache() = default;
  ~BrushCache();
  BrushCache(const BrushCache&) = delete;
  BrushCache& operator=(const BrushCache&) = delete;
  BrushCache(BrushCache&&) = delete;
  BrushCache& operator=(BrushCache&&) = delete;

  // The brush of colour 0x00BBGGRR; the same handle for the same colour.
  HBRUSH Get(uint32_t colour);
  size_t Count() const { return brushes_.size(); }

 private:
  std::map<uint32_t, HBRUSH> brushes_;
};

}  // namespace kt::ui::win32
