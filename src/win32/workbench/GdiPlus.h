// GDI+ (a part of Windows) for anti-aliased lines and PNG files: the session that must run while
// it is used, and the few conversions the pages need.
#pragma once

#include <string>

#include "win32/WindowsApi.h"
// windows.h first: GDI+ needs its types, and the min and max of <algorithm>.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "workbench/TrafficLogColours.h"

namespace kt::ui::win32 {

// GDI+ runs from construction to destruction.
class GdiPlusSession {
 public:
  GdiPlusSession();
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;
  GdiPlusSession(GdiPlusSession&&) = delete;
  GdiPlusSession& operator=(GdiPlusSession&&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

Gdiplus::Color GdiColour(workbench::Rgb rgb);

// Writes `utf8` on one line in `box` with GDI (whose font fallback covers the Chinese texts),
// between what `g` drew before and after: left, centred or right as `across` says.
void WriteText(Gdiplus::Graphics& g, HFONT font, const std::string& utf8, const Gdiplus::RectF& box,
               Gdiplus::StringAlignment across, const Gdiplus::Color& colour);
// The width of `utf8` in `font`, in pixels.
float TextWidthIn(Gdiplus::Graphics& g, HFONT font, const std::string& utf8);

// Saves `bitmap` as a PNG file at `path` (UTF-8); false when it could not be written.
bool SavePng(HBITMAP bitmap, const std::string& path);

}  // namespace kt::ui::win32
