// The GDI+ session and its PNG encoder.
#include "ui/win32/workbench/GdiPlus.h"

#include <vector>

#include "ui/win32/workbench/ChildPanel.h"

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
