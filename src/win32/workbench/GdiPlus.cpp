// The GDI+ session and its PNG encoder.
#include "win32/workbench/GdiPlus.h"

#include <vector>

#include "win32/workbench/ChildPanel.h"

namespace kt::ui::win32 {

GdiPlusSession::GdiPlusSession() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
  if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

Gdiplus::Color GdiColour(workbench::Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}

void WriteText(Gdiplus::Graphics& g, HFONT font, const std::string& utf8, const Gdiplus::RectF& box,
               Gdiplus::StringAlignment across, const Gdiplus::Color& colour) {
  HDC dc = g.GetHDC();
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(colour.GetR(), colour.GetG(), colour.GetB()));
  RECT r{static_cast<LONG>(box.X), static_cast<LONG>(box.Y), static_cast<LONG>(box.X + box.Width),
         static_cast<LONG>(box.Y + box.Height)};
  const UINT align = across == Gdiplus::StringAlignmentCenter ? DT_CENTER
                     : across == Gdiplus::StringAlignmentFar  ? DT_RIGHT
                                                              : DT_LEFT;
  std::wstring wide = Wide(utf8);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
            align | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  SelectObject(dc, old);
  g.ReleaseHDC(dc);
}

float TextWidthIn(Gdiplus::Graphics& g, HFONT font, const std::string& utf8) {
  HDC dc = g.GetHDC();
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = Wide(utf8);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  g.ReleaseHDC(dc);
  return static_cast<float>(size.cx);
}

bool SavePng(HBITMAP bitmap, const std::string& path) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  const CLSID* png = nullptr;
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png") png = &encoders[i].Clsid;
  }
  if (png == nullptr) return false;
  Gdiplus::Bitmap image(bitmap, nullptr);
  return image.Save(Wide(path).c_str(), png, nullptr) == Gdiplus::Ok;
}

}  // namespace kt::ui::win32
