// A tab's page in the workbench window: a child window holding the tab's controls, which it
// makes, lays out and answers. Each tab is a panel of its own class derived from this one.
#pragma once

#include <map>
#include <set>
#include <string>

#include "win32/WindowsApi.h"
#include "workbench/TrafficLogColours.h"

namespace kt::ui::win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
COLORREF ColourRef(workbench::Rgb rgb);

class ChildPanel {
 public:
  ChildPanel() = default;
  virtual ~ChildPanel();
  ChildPanel(const ChildPanel&) = delete;
  ChildPanel& operator=(const ChildPanel&) = delete;
  ChildPanel(ChildPanel&&) = delete;
  ChildPanel& operator=(ChildPanel&&) = delete;

  // Makes the (hidden) page in `parent` and its controls in `font`; false when Windows refused.
  bool Create(HWND parent, HFONT font);
  // The window moved to a monitor of another resolution: the controls take `font`, made for it,
  // and the next Layout scales the page's sizes to it.
  void Rescale(HFONT font);
  HWND Handle() const { return hwnd_; }
  // A control made by Add is found without asking the window system (under wine each
  // GetDlgItem is a server round trip, and the log's list is asked for at every message).
  HWND Item(int id) const;
  // The tooltip of control `id` as its page's tooltip control holds it; "" for none.
  std::string Tip(int id) const;

  // The page came into sight: it catches up with what happened while it was hidden.
  virtual void OnShown() {}
  // The page's size changed: its controls go where they belong.
  virtual void Layout(int width, int height) = 0;

 protected:
  // Makes the controls, once the page exists.
  virtual void Populate() = 0;
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  virtual LRESULT OnNotify(NMHDR& /*header*/) { return 0; }
  virtual void OnTimer(UINT_PTR /*timerId*/) {}
  // Anything else a page wants: by default Windows' own handling.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // A control of the page in its font; `text` in UTF-8.
  HWND Add(const wchar_t* windowClass, const std::string& text, DWORD style, int id,
           DWORD exStyle = 0);
  void SetText(int id, const std::string& utf8);
  // Control `id` shows `utf8` as its tooltip while the pointer rests on it.
  void AddTip(int id, const std::string& utf8);
  bool Checked(int id) const;
  void Place(int id, int x, int y, int width, int height) const;
  // The width of `utf8` in the page's font, in pixels, and the height of one line of it.
  int TextWidth(const std::string& utf8) const;
  int LineHeight() const;
  // A size given for 96 dpi at the window's resolution (WindowDpi), and that ratio.
  int Px(int px) const;
  double Scale() const;
  // Static texts with these identifiers are drawn in red (messages of failures).
  void MarkRed(int id) { redTexts_.insert(id); }

  HFONT font_ = nullptr;

 private:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HWND tips_ = nullptr;    // the page's tooltip control, made with its first tooltip
  HDC measure_ = nullptr;  // TextWidth's and LineHeight's, with font_ selected
  UINT dpi_ = 96;
  std::set<int> redTexts_;
  std::map<int, HWND> items_;  // the controls made by Add, by identifier
};

}  // namespace kt::ui::win32
