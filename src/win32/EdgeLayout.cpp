// Moving a resizable dialog's controls with its edges.
#include "win32/EdgeLayout.h"

#include "win32/ListControls.h"

namespace kt::ui::win32 {

EdgeLayout::EdgeLayout(HWND dialog, const std::vector<Placed>& controls) {
  RECT client{};
  GetClientRect(dialog, &client);
  client_ = {client.right - client.left, client.bottom - client.top};
  RECT window{};
  GetWindowRect(dialog, &window);
  window_ = {window.right - window.left, window.bottom - window.top};
  for (const Placed& p : controls) {
    RECT r{};
    GetWindowRect(p.hwnd, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    origins_.push_back({p, r});
  }
}

void EdgeLayout::Apply(int width, int height) const {
  const int dx = width - client_.cx;
  const int dy = height - client_.cy;
  for (const Origin& o : origins_) {
    const DuRect r = Grown(
        o.control.tmpl->style,
        {o.rect.left, o.rect.top, o.rect.right - o.rect.left, o.rect.bottom - o.rect.top}, dx, dy);
    SetWindowPos(o.control.hwnd, nullptr, r.x, r.y, r.width, r.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (o.control.tmpl->kind == ControlKind::Table) FitTableColumns(o.control.hwnd);
  }
}

void EdgeLayout::LimitTracking(MINMAXINFO& info) const {
  info.ptMinTrackSize = {window_.cx, window_.cy};
}

}  // namespace kt::ui::win32
