// Painting through a memory bitmap, for the screen and for a snapshot.
#include "win32/workbench/PaintedView.h"

namespace kt::ui::win32 {

HBITMAP PaintedView::Snapshot(int extraTop) const {
  RECT client{};
  GetClientRect(Handle(), &client);
  HDC screen = GetDC(Handle());
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom + extraTop);
  ReleaseDC(Handle(), screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT whole{0, 0, client.right, client.bottom + extraTop};
  FillRect(memory, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetViewportOrgEx(memory, 0, extraTop, nullptr);
  painter_(memory, client);
  SetViewportOrgEx(memory, 0, 0, nullptr);
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

LRESULT PaintedView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle(), &ps);
      RECT client{};
      GetClientRect(Handle(), &client);
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
      HGDIOBJ old = SelectObject(memory, bitmap);
      // Only the part Windows asks for reaches the screen; what lies outside it is clipped.
      IntersectClipRect(memory, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right,
                        ps.rcPaint.bottom);
      painter_(memory, client);
      BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(Handle(), &ps);
      return 0;
    }
    default:
      if (input_ && input_(message, wParam, lParam)) return 0;
      return ChildPanel::OnMessage(message, wParam, lParam);
  }
}

}  // namespace kt::ui::win32
