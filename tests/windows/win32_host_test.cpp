// The Win32 window host for real: every dialog template realised as a dialog window, its
// controls' classes, texts, places and colours read back from Windows, and the keys, clicks,
// timers and message boxes of a running modal loop.
#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "HostInputCases.h"
#include "HostRedrawSteps.h"
#include "StepScript.h"
#include "commands/AddrDialogIds.h"
#include "commands/AddrDialogTemplate.h"
#include "commands/MeterSetDialogTemplate.h"
#include "platform/win32/WideText.h"
#include "ui/CommSetDialogIds.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/FindMeterDialogIds.h"
#include "ui/FindMeterDialogTemplate.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogTemplate.h"
#include "ui/dialog/Dialog.h"
#include "win32/ScrolledFrame.h"
#include "win32/Win32WindowHost.h"

namespace {

using namespace kt::ui;
using kt::platform::win32::Utf8FromWide;
using kt::ui::win32::PointerFrom;
using kt::ui::win32::ScrolledFrame;
using kt::ui::win32::Win32WindowHost;

constexpr unsigned kStepTimer = 77;

// A dialog of any template whose steps run one per tick of a timer of its own, inside its
// modal loop with the window shown; it ends after the last. It records what the host reports and
// answers the colour handler from a table.
class ProbeDialog : public Dialog {
 public:
  using Step = std::function<void(ProbeDialog&)>;
  ProbeDialog(WindowHost& host, const DialogTemplate& t, std::vector<Step> steps)
      : Dialog(host, t) {
    for (Step& step : steps) {
      script_.Then(
          "step " + std::to_string(script_.Size() + 1), [] { return true; },
          [this, step = std::move(step)] { step(*this); });
    }
  }

  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    SetTimer(kStepTimer, 20);
    if (textAtStart == 0) return true;
    SetDlgItemText(textAtStart, kt::testing::kTextAtStart);
    if (!focusItself) return true;  // left to the dialog manager
    FocusAndSelect(textAtStart);
    return false;
  }
  void OnTimer(unsigned timerId) override {
    if (timerId != kStepTimer) {
      ++ticks[timerId];
      return;
    }
    if (auto act = script_.Poll(static_cast<int64_t>(GetTickCount64()))) {
      act();
    } else if (script_.Done()) {
      EndDialog(IDOK);
    }
  }
  bool OnCommand(int commandId) override {
    commands.push_back(commandId);
    return true;
  }
  void OnListClick(int controlId, int line) override { picks.emplace_back(controlId, line); }
  CtlColor OnCtlColor(int controlId, CtlColorType type) override {
    asked[controlId] = type;
    auto it = colours.find(controlId);
    return it != colours.end() ? it->second : Dialog::OnCtlColor(controlId, type);
  }

  HWND Window() const { return static_cast<Win32WindowHost&>(Host()).WindowOf(*this); }
  HWND Item(int id) const { return GetDlgItem(Window(), id); }

  std::map<int, CtlColor> colours;
  std::map<int, CtlColorType> asked;
  std::vector<int> commands;
  std::vector<std::pair<int, int>> picks;
  std::map<unsigned, int> ticks;
  // A control given a text as the dialog opens, and focused with it selected by the dialog.
  int textAtStart = 0;
  bool focusItself = false;

 private:
  kt::testing::StepScript script_;
};

std::string Lower(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += static_cast<char>(std::towlower(c));
  return s;
}

std::string ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return Lower(name);
}

std::string TextOf(HWND w) {
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  return kt::platform::win32::Utf8FromWide(text);
}

// What Windows should have made of a control: its class and its button type, from a table of
// the kinds written here rather than taken from the host.
struct Expected {
  const char* cls;
  LONG buttonType;  // -1: not a button
};
Expected ExpectedOf(const ControlTemplate& c) {
  switch (c.kind) {
    case ControlKind::Label:
      return {"static", -1};
    case ControlKind::GroupBox:
      return {"button", BS_GROUPBOX};
    case ControlKind::Edit:
      return {"edit", -1};
    case ControlKind::PushButton:
      return {"button", c.Has(kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON};
    case ControlKind::RadioButton:
      return {"button", BS_AUTORADIOBUTTON};
    case ControlKind::CheckBox:
      return {"button", BS_AUTOCHECKBOX};
    case ControlKind::ListBox:
      return {"listbox", -1};
    case ControlKind::Table:
      return {"syslistview32", -1};
    case ControlKind::ProgressBar:
      return {"msctls_progress32", -1};
    case ControlKind::SerialControl:
      return {"", -1};
  }
  return {"", -1};
}

// Dialog units to pixels as Windows defines them: the dialog font's average character width
// (from the extent of the 52 letters) and its height.
struct BaseUnits {
  int x;
  int y;
};
BaseUnits BaseUnitsOf(HWND dialog) {
  HDC dc = GetDC(dialog);
  auto font = PointerFrom<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE size{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return {(size.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT ClientRectOf(HWND control, HWND dialog) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string HeadingsOf(HWND table) {
  HWND header = ListView_GetHeader(table);
  std::string all;
  for (int i = 0; i < Header_GetItemCount(header); ++i) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header, i, &item);
    all += (i > 0 ? "\t" : "") + kt::platform::win32::Utf8FromWide(text);
  }
  return all;
}

class TemplateRealised : public ::testing::TestWithParam<const DialogTemplate& (*)()> {};

TEST_P(TemplateRealised, ClassesTextsPlacesAndStatesAreTheTemplates) {
  const DialogTemplate& t = GetParam()();
  Win32WindowHost host;
  ProbeDialog dialog(
      host, t, {[&](ProbeDialog& d) {
        HWND dlg = d.Window();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(TextOf(dlg), t.caption);
        const BaseUnits units = BaseUnitsOf(dlg);
        const auto px = [&](int du) { return MulDiv(du, units.x, 4); };
        const auto py = [&](int du) { return MulDiv(du, units.y, 8); };
        RECT client{};
        GetClientRect(dlg, &client);
        EXPECT_EQ(client.right, px(t.widthDu));
        EXPECT_EQ(client.bottom, py(t.heightDu));
        // The children in Z order are the controls in template order (also the tab order).
        HWND child = GetWindow(dlg, GW_CHILD);
        std::vector<HWND> tabStops;
        for (const ControlTemplate& c : t.controls) {
          SCOPED_TRACE(std::string(c.text) + " #" + std::to_string(c.id));
          if (c.kind == ControlKind::SerialControl) {
            EXPECT_EQ(GetDlgItem(dlg, c.id), nullptr);  // never drawn
            continue;
          }
          ASSERT_NE(child, nullptr);
          EXPECT_EQ(GetDlgCtrlID(child), c.id);
          const Expected e = ExpectedOf(c);
          EXPECT_EQ(ClassOf(child), e.cls);
          const LONG style = GetWindowLongW(child, GWL_STYLE);
          if (e.buttonType >= 0) {
            EXPECT_EQ(style & BS_TYPEMASK, e.buttonType);
          }
          if (c.kind == ControlKind::Edit) {
            EXPECT_EQ((style & ES_READONLY) != 0, c.Has(kReadOnly));
            EXPECT_EQ((style & ES_MULTILINE) != 0, c.Has(kMultiLine));
          }
          if (c.kind == ControlKind::Table) {
            EXPECT_EQ(HeadingsOf(child), c.text);
          } else if (c.kind == ControlKind::ProgressBar) {
            EXPECT_EQ(SendMessageW(child, PBM_GETPOS, 0, 0), std::stoi(c.text));
          } else if (c.kind != ControlKind::ListBox) {
            EXPECT_EQ(TextOf(child), c.text);
          }
          // Place and size (left, top, width, height) are converted each on its own, as the
          // dialog manager does.
          const RECT r = ClientRectOf(child, dlg);
          const auto placed = std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top);
          EXPECT_EQ(placed,
                    std::tuple(px(c.rect.x), py(c.rect.y), px(c.rect.width), py(c.rect.height)));
          RECT mapped{c.rect.x, c.rect.y, c.rect.width, c.rect.height};
          MapDialogRect(dlg, &mapped);
          EXPECT_EQ(placed, std::tuple(mapped.left, mapped.top, mapped.right, mapped.bottom));
          EXPECT_EQ(IsWindowVisible(child) != FALSE, !c.Has(kHidden));
          EXPECT_EQ(IsWindowEnabled(child) != FALSE, !c.Has(kDisabled));
          if (c.Has(kTabStop) && !c.Has(kHidden) && !c.Has(kDisabled)) tabStops.push_back(child);
          child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr);
        // Tab goes from each tab stop to the next in template order, and round.
        for (size_t i = 0; i < tabStops.size(); ++i) {
          EXPECT_EQ(GetNextDlgTabItem(dlg, tabStops[i], FALSE),
                    tabStops[(i + 1) % tabStops.size()]);
        }
      }});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(host.WindowOf(dialog), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, TemplateRealised,
                         ::testing::Values(&MainDialogTemplate, &CommSetDialogTemplate,
                                           &MeterSetDialogTemplate, &AddrDialogTemplate,
                                           &FindMeterDialogTemplate));

// The colour message a control sends, by what it is in Windows.
UINT ColourMessageOf(HWND control) {
  const std::string cls = ClassOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (cls == "edit") return (style & ES_READONLY) != 0 ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  if (cls == "listbox") return WM_CTLCOLORLISTBOX;
  if (cls == "button") {
    const LONG type = style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC;
  }
  return WM_CTLCOLORSTATIC;
}

struct ColourAnswer {
  COLORREF text;
  COLORREF background;
  int mode;
  HBRUSH brush;
  COLORREF brushColour;
};
ColourAnswer AskColours(HWND dlg, HWND control) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkColor(dc, RGB(4, 5, 6));
  SetBkMode(dc, OPAQUE);
  auto brush =
      PointerFrom<HBRUSH>(SendMessageW(dlg, ColourMessageOf(control), reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control)));
  LOGBRUSH lb{};
  if (brush != nullptr) GetObjectW(brush, sizeof lb, &lb);
  ColourAnswer a{GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), brush, lb.lbColor};
  DeleteDC(dc);
  return a;
}

// The colour of the brush a dialog window paints its own background with.
COLORREF BackgroundOf(HWND dialog) {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGBRUSH lb{};
  GetObjectW(PointerFrom<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(dialog))),
             sizeof lb, &lb);
  DeleteDC(dc);
  return lb.lbColor;
}

TEST(HostColours, TheColourHandlersDecisionsReachEveryControlsColourMessage) {
  const DialogTemplate& t = MainDialogTemplate();
  Win32WindowHost host;
  host.SetDialogBkColor(kDialogBackground, kBlack);
  ProbeDialog dialog(host, t, {[&](ProbeDialog& d) {
                       HWND dlg = d.Window();
                       for (const ControlTemplate& c : t.controls) {
                         if (c.id == IDC_STATIC || c.kind == ControlKind::SerialControl) continue;
                         SCOPED_TRACE(std::string(c.text) + " #" + std::to_string(c.id));
                         HWND control = d.Item(c.id);
                         const bool decided = d.colours.count(c.id) != 0;
                         const ColourAnswer a = AskColours(dlg, control);
                         // The type the handler is asked with: only an editable edit box is an
                         // Edit.
                         const CtlColorType type =
                             c.kind == ControlKind::Edit
                                 ? (c.Has(kReadOnly) ? CtlColorType::Static : CtlColorType::Edit)
                                 : (c.kind == ControlKind::PushButton ? CtlColorType::Button
                                                                      : CtlColorType::Static);
                         ASSERT_EQ(d.asked.count(c.id), 1u);
                         EXPECT_EQ(d.asked[c.id], type);
                         if (decided) {
                           const CtlColor& want = d.colours[c.id];
                           EXPECT_EQ(a.text, want.textColor);
                           EXPECT_EQ(a.mode, want.transparentBackground ? TRANSPARENT : OPAQUE);
                           EXPECT_EQ(a.brushColour, want.brushColor);
                         } else if (type == CtlColorType::Edit) {
                           EXPECT_EQ(a.text, RGB(1, 2, 3));  // left to the system: nothing set
                         } else {
                           EXPECT_EQ(a.text, kBlack);
                           EXPECT_EQ(a.background, kDialogBackground);
                           EXPECT_EQ(a.brushColour, kDialogBackground);
                         }
                       }
                       EXPECT_EQ(BackgroundOf(dlg), kDialogBackground);
                       // One brush per colour, not one per answer.
                       HWND red = d.Item(main_ids::kVoltageStatus1Box);
                       EXPECT_EQ(AskColours(dlg, red).brush,
                                 AskColours(dlg, d.Item(main_ids::kCurrentStatus4Box)).brush);
                     }});
  const CtlColor red{.useDefault = false, .transparentBackground = true, .textColor = kRed};
  const CtlColor grey{.useDefault = false, .textColor = kGrey, .brushColor = 0x00E0E0E0};
  dialog.colours[main_ids::kVoltageStatus1Box] = red;
  dialog.colours[main_ids::kCurrentStatus4Box] = red;
  dialog.colours[main_ids::kPhaseVoltageABox] = grey;
  dialog.colours[main_ids::kSlaveAddressEdit] = grey;  // an editable box, decided
  dialog.DoModal();
}

// Whether Windows holds a part of the control to be painted again.
bool Invalid(HWND control) {
  return GetUpdateRect(control, nullptr, FALSE) != FALSE;
}

// Counts the `counted` messages a control gets: WM_SETTEXT, the texts Windows is given;
// WM_NCPAINT, the frames it draws (a scroll bar is drawn with the frame).
template <UINT counted>
LRESULT CALLBACK CountMessages(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR count) {
  if (message == counted) ++*PointerFrom<int*>(count);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The redraws every host makes and spares (tests/support/HostRedrawSteps.h): a text given to
// Windows (a button draws it at once) or a part held to be painted again.
TEST(HostRedraw, OnlyANewTextOrColourOrARedrawDrawsAControl) {
  Win32WindowHost host;
  ProbeDialog dialog(host, MainDialogTemplate(), {[](ProbeDialog& d) {
                       const CtlColor red{.useDefault = false, .textColor = kRed};
                       for (const kt::testing::RedrawStep& step : kt::testing::RedrawSteps()) {
                         SCOPED_TRACE(std::to_string(step.control) +
                                      (step.text != nullptr ? step.text : " redrawn"));
                         UpdateWindow(d.Window());
                         int texts = 0;
                         HWND control = d.Item(step.control);
                         SetWindowSubclass(control, &CountMessages<WM_SETTEXT>, 1,
                                           reinterpret_cast<DWORD_PTR>(&texts));
                         if (step.red) d.colours[step.control] = red;
                         if (step.text != nullptr) {
                           d.SetDlgItemText(step.control, step.text);
                           EXPECT_EQ(TextOf(control), step.text);
                         } else {
                           d.RedrawControl(step.control);
                         }
                         EXPECT_EQ(texts > 0 || Invalid(control), step.drawn);
                         RemoveWindowSubclass(control, &CountMessages<WM_SETTEXT>, 1);
                       }
                     }});
  dialog.DoModal();
}

// An echo box shows each text and draws its scroll bar only when its lines change, and the
// dialog under it not at all.
TEST(HostRedraw, AnEchoBoxDrawsItsScrollBarOnlyWhenTheLinesChange) {
  Win32WindowHost host;
  ProbeDialog dialog(host, MainDialogTemplate(), {[](ProbeDialog& d) {
                       HWND echo = d.Item(main_ids::kReceiveEcho);
                       int frames = 0;
                       UpdateWindow(d.Window());
                       SetWindowSubclass(echo, &CountMessages<WM_NCPAINT>, 1,
                                         reinterpret_cast<DWORD_PTR>(&frames));
                       for (const auto& [text, drawn] : std::vector<std::pair<std::string, int>>{
                                {"01 03", 0}, {"01 04", 0}, {std::string(450, '7'), 1}}) {
                         d.SetDlgItemText(main_ids::kReceiveEcho, text);
                         EXPECT_FALSE(Invalid(d.Window()));
                         UpdateWindow(d.Window());
                         EXPECT_EQ(frames, drawn) << text;
                         EXPECT_EQ(TextOf(echo), text);
                       }
                       RemoveWindowSubclass(echo, &CountMessages<WM_NCPAINT>, 1);
                     }});
  dialog.DoModal();
}

// Moves the focus as the dialog manager does for Tab (a push button becomes the default).
void FocusOn(HWND dialog, HWND control) {
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Posts a key press to the control with the focus, as the keyboard would.
void PressKey(HWND focus, WPARAM key) {
  PostMessageW(focus, WM_KEYDOWN, key, 1);
  PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// The keys and clicks every host turns into the same commands (tests/support/HostInputCases.h),
// as Windows delivers them.
TEST(HostInput, KeysAndClicksAreTheCommandsOfEveryHost) {
  using kt::testing::UserInput;
  for (const kt::testing::HostInputCase& c : kt::testing::HostInputCases()) {
    SCOPED_TRACE(c.what);
    Win32WindowHost host;
    std::string text;
    bool checked = false;
    bool open = false;
    ProbeDialog dialog(host, c.dialog(),
                       {[&](ProbeDialog& d) {
                          HWND control = d.Item(c.control);
                          ASSERT_NE(control, nullptr);
                          if (c.input == UserInput::Click) SendMessageW(control, BM_CLICK, 0, 0);
                          if (c.input == UserInput::Enter || c.input == UserInput::Escape) {
                            FocusOn(d.Window(), control);
                            PressKey(GetFocus(),
                                     c.input == UserInput::Enter ? VK_RETURN : VK_ESCAPE);
                          }
                          if (c.input == UserInput::CloseBox)
                            PostMessageW(d.Window(), WM_CLOSE, 0, 0);
                          if (d.textAtStart != 0)
                            PostMessageW(GetFocus(), WM_CHAR, kt::testing::kTypedDigit[0], 1);
                        },
                        [&](ProbeDialog& d) {
                          text = host.GetText(d, c.control);
                          checked = d.IsDlgButtonChecked(c.control);
                          open = IsWindowVisible(d.Window()) != 0;
                        }});
    if (c.input == UserInput::DigitOverTheFocusedText ||
        c.input == UserInput::DigitOverTheFirstTabStop) {
      dialog.textAtStart = c.control;
      dialog.focusItself = c.input == UserInput::DigitOverTheFocusedText;
    }
    dialog.DoModal();
    EXPECT_EQ(dialog.commands, c.command == kt::testing::kNoCommand ? std::vector<int>{}
                                                                    : std::vector<int>{c.command});
    EXPECT_TRUE(open);
    if (c.textAfter != nullptr) {
      EXPECT_EQ(text, c.textAfter);
    }
    EXPECT_EQ(checked, c.checkedAfter);
  }
}

// A dialog taller than the work area (large fonts on a small screen) is cut to it and scrolls
// every control, "诊断与记录…" too, wholly into view; one that fits is left as it is.
TEST(HostScrolling, ADialogTallerThanTheWorkAreaBringsEveryControlIntoView) {
  Win32WindowHost host;
  ProbeDialog dialog(host, MainDialogTemplate(), {[](ProbeDialog& d) {
                       RECT r{};
                       GetWindowRect(d.Window(), &r);
                       EXPECT_FALSE(ScrolledFrame().FitInto(d.Window(), RECT{0, 0, 4000, 4000}));
                       const RECT work{0, 0, 1366, (r.bottom - r.top) * 3 / 5};
                       ScrolledFrame frame;
                       ASSERT_TRUE(frame.FitInto(d.Window(), work));
                       GetWindowRect(d.Window(), &r);
                       EXPECT_EQ(r.bottom - r.top, work.bottom);
                       RECT client{};
                       GetClientRect(d.Window(), &client);
                       for (const int id : {main_ids::kSlaveAddressEdit, main_ids::kWorkbenchButton,
                                            main_ids::kReceiveEcho, main_ids::kRunButton}) {
                         frame.Reveal(d.Window(), d.Item(id));
                         GetWindowRect(d.Item(id), &r);
                         MapWindowPoints(HWND_DESKTOP, d.Window(), reinterpret_cast<POINT*>(&r), 2);
                         EXPECT_TRUE(r.top >= 0 && r.bottom <= client.bottom)
                             << id << ": " << r.top << ".." << r.bottom;
                       }
                     }});
  dialog.DoModal();
}

TEST(HostLists, AClickOnALineIsAPickAlsoOnTheLineAlreadyPicked) {
  Win32WindowHost host;
  const auto click = [](HWND list, int line) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 3, r.top + 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
  };
  ProbeDialog dialog(host, CommSetDialogTemplate(),
                     {[](ProbeDialog& d) {
                        d.SetListLines(comm_set_ids::kPortList, {"a", "b", "c"});
                      },
                      [&](ProbeDialog& d) { click(d.Item(comm_set_ids::kPortList), 1); },
                      [&](ProbeDialog& d) { click(d.Item(comm_set_ids::kPortList), 1); },
                      [&](ProbeDialog& d) { click(d.Item(comm_set_ids::kPortList), 2); },
                      [](ProbeDialog& d) {
                        EXPECT_EQ(SendMessageW(d.Item(comm_set_ids::kPortList), LB_GETCOUNT, 0, 0),
                                  3);
                      }});
  dialog.DoModal();
  const int list = comm_set_ids::kPortList;
  EXPECT_EQ(dialog.picks, (std::vector<std::pair<int, int>>{{list, 1}, {list, 1}, {list, 2}}));
  EXPECT_TRUE(dialog.commands.empty());
}

// The finder's table: rows are their cells (a short row's missing cells empty), a double click
// is the pick then the table's command. The window made larger: the table grows with it and
// "使用" keeps to the corner; a row chosen with the keys is picked, kept when the rows are set
// again (without a pick), and a new last row is scrolled into view.
TEST(HostLists, ATableShowsItsCellsFollowsTheWindowAndKeepsTheRowChosen) {
  Win32WindowHost host;
  const int table = find_meter_ids::kMeterTable;
  const auto rowPoint = [](HWND list, int row) {
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
  };
  std::vector<std::string> rows(3, "COM1\t9600\t无校验\t1");
  ProbeDialog dialog(
      host, FindMeterDialogTemplate(),
      {[&](ProbeDialog& d) {
         d.SetListLines(table, {"COM1\t9600\t无校验\t1\t3相4线\t1\t1", "COM3\t4800\t奇校验\t17"});
         HWND list = d.Item(table);
         wchar_t text[32] = {};
         ListView_GetItemText(list, 1, 3, text, 32);
         EXPECT_EQ(Utf8FromWide(text), "17");
         EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 7);
         EXPECT_EQ(ListView_GetItemCount(list), 2);
         ListView_GetItemText(list, 1, 6, text, 32);
         EXPECT_STREQ(text, L"");
       },
       [&](ProbeDialog& d) {
         HWND list = d.Item(table);
         PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, rowPoint(list, 1));
         PostMessageW(list, WM_LBUTTONUP, 0, rowPoint(list, 1));
       },
       [&](ProbeDialog& d) {
         ASSERT_FALSE(d.picks.empty());
         EXPECT_EQ(d.picks.back(), std::make_pair(table, 1));
         const size_t picksAfterDoubleClick = d.picks.size();
         d.SetListLines(table, rows);
         HWND use = d.Item(find_meter_ids::kUseButton);
         const RECT tableBefore = ClientRectOf(d.Item(table), d.Window());
         const RECT useBefore = ClientRectOf(use, d.Window());
         RECT w{};
         GetWindowRect(d.Window(), &w);
         SetWindowPos(d.Window(), nullptr, 0, 0, w.right - w.left + 120, w.bottom - w.top + 80,
                      SWP_NOMOVE | SWP_NOZORDER);
         const RECT tableAfter = ClientRectOf(d.Item(table), d.Window());
         const RECT useAfter = ClientRectOf(use, d.Window());
         EXPECT_EQ(tableAfter.right - tableAfter.left, tableBefore.right - tableBefore.left + 120);
         EXPECT_EQ(tableAfter.bottom - tableAfter.top, tableBefore.bottom - tableBefore.top + 80);
         EXPECT_EQ(useAfter.left, useBefore.left + 120);
         EXPECT_EQ(useAfter.top, useBefore.top + 80);
         SetFocus(d.Item(table));
         ListView_SetItemState(d.Item(table), 0, LVIS_SELECTED | LVIS_FOCUSED,
                               LVIS_SELECTED | LVIS_FOCUSED);
         SendMessageW(d.Item(table), WM_KEYDOWN, VK_DOWN, 0);
         ASSERT_GE(d.picks.size(), picksAfterDoubleClick + 2);
         EXPECT_EQ(d.picks.back(), std::make_pair(table, 1));
         const size_t picksAfterKeys = d.picks.size();
         rows.resize(40, "COM2\t4800\t偶校验\t9");
         d.SetListLines(table, rows);
         EXPECT_EQ(d.picks.size(), picksAfterKeys);  // the refill picks nothing
         EXPECT_EQ(ListView_GetNextItem(d.Item(table), -1, LVNI_SELECTED), 1);
         RECT last{};
         last.left = LVIR_BOUNDS;
         SendMessageW(d.Item(table), LVM_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&last));
         RECT view{};
         GetClientRect(d.Item(table), &view);
         EXPECT_TRUE(last.bottom <= view.bottom && last.top >= 0);
       },
       [&](ProbeDialog& d) {
         // Every column in view, also in a table narrower than its cells (large fonts).
         HWND list = d.Item(table);
         SetWindowPos(list, nullptr, 0, 0, 240, 100, SWP_NOMOVE | SWP_NOZORDER);
         d.SetListLines(table, {"COM12\t服务器设定\t服务器设定\t247\t3相4线(非平衡)\t10000\t9"});
         RECT view{};
         GetClientRect(list, &view);
         int widths = 0;
         for (int c = 0; c < Header_GetItemCount(ListView_GetHeader(list)); ++c) {
           widths += ListView_GetColumnWidth(list, c);
         }
         EXPECT_EQ(widths, view.right - view.left);
       }});
  dialog.DoModal();
  EXPECT_EQ(dialog.commands, (std::vector<int>{table}));
}

TEST(HostTimersAndBoxes, TimersTickInsideAMessageBoxTitledAsOnLinuxInTheDialogsColours) {
  Win32WindowHost host;
  host.SetDialogBkColor(kDialogBackground, kBlack);
  HWND box = nullptr;
  int ticksWhenBoxOpened = 0;
  ProbeDialog dialog(
      host, AddrDialogTemplate(),
      {[](ProbeDialog& d) {
         d.SetTimer(5, 10);
         SetWindowPos(d.Window(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
       },
       [&](ProbeDialog& d) {
         ticksWhenBoxOpened = d.ticks[5];
         d.AfxMessageBox("子机地址必须在 0 到 255 之间");  // returns when the box is confirmed
         d.KillTimer(5);
       },
       // This step runs while the box is open: the dialog's timers tick in its loop.
       [&](ProbeDialog& d) {
         box = FindWindowW(L"#32770", Win32WindowHost::kMessageBoxTitle);
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(GetWindow(box, GW_OWNER), d.Window());
         // Centred on the dialog, to the pixel the halving rounds off.
         RECT b{};
         RECT o{};
         GetWindowRect(box, &b);
         GetWindowRect(d.Window(), &o);
         EXPECT_NEAR(b.left + b.right, o.left + o.right, 1);
         EXPECT_NEAR(b.top + b.bottom, o.top + o.bottom, 1);
         EXPECT_EQ(BackgroundOf(box), kDialogBackground);
         EXPECT_GT(d.ticks[5], ticksWhenBoxOpened);
         PostMessageW(box, WM_COMMAND, IDOK, 0);
       },
       [&](ProbeDialog& d) {
         EXPECT_FALSE(IsWindow(box));
         const int stopped = d.ticks[5];
         EXPECT_FALSE(host.TimerRunning(d, 5));
         Sleep(50);
         MSG m;
         while (PeekMessageW(&m, d.Window(), WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&m);
         EXPECT_EQ(d.ticks[5], stopped);
       }});
  dialog.DoModal();
  EXPECT_NE(box, nullptr);
}

}  // namespace
