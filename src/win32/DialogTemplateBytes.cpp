// Laying out DLGTEMPLATEEX and its items: fixed fields, then the variable strings, each item
// starting on a DWORD boundary.
#include "win32/DialogTemplateBytes.h"

#include <cstring>
#include <string>

#include "platform/win32/WideText.h"
#include "ui/dialog/ControlValues.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {
namespace {

constexpr uint16_t kExtendedVersion = 1;
constexpr uint16_t kExtendedSignature = 0xFFFF;
constexpr uint16_t kAtomFollows = 0xFFFF;  // a class given by its predefined atom
// The predefined window classes' atoms in a template.
constexpr uint16_t kButtonAtom = 0x0080;
constexpr uint16_t kEditAtom = 0x0081;
constexpr uint16_t kStaticAtom = 0x0082;
constexpr uint16_t kListBoxAtom = 0x0083;

// Appends little-endian fields to a byte buffer.
class TemplateWriter {
 public:
  void Word(uint16_t v) { Raw(&v, sizeof v); }
  void DWord(uint32_t v) { Raw(&v, sizeof v); }
  void Short(int v) { Word(static_cast<uint16_t>(static_cast<int16_t>(v))); }
  void Byte(uint8_t v) { Raw(&v, sizeof v); }
  void Text(const std::wstring& text) {
    for (const wchar_t ch : text) Word(static_cast<uint16_t>(ch));
    Word(0);
  }
  void AlignDWord() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<uint32_t> Finish() {
    AlignDWord();
    std::vector<uint32_t> out(bytes_.size() / 4);
    std::memcpy(out.data(), bytes_.data(), bytes_.size());
    return out;
  }

 private:
  void Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  std::vector<uint8_t> bytes_;
};

uint16_t AtomOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return kStaticAtom;
    case ControlKind::Edit:
      return kEditAtom;
    case ControlKind::ListBox:
      return kListBoxAtom;
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
      return kButtonAtom;
    default:
      return 0;  // a class given by name
  }
}

uint32_t DialogWindowStyle(const DialogTemplate& t, bool centred) {
  uint32_t style = WS_POPUP | DS_SETFONT | DS_3DLOOK;
  if (t.Has(kCaption)) style |= WS_CAPTION;
  if (t.Has(kSysMenu)) style |= WS_SYSMENU;
  if (t.Has(kMinimizeBox)) style |= WS_MINIMIZEBOX;
  if (t.Has(kMaximizeBox)) style |= WS_MAXIMIZEBOX;
  if (t.Has(kModalFrame)) style |= DS_MODALFRAME;
  if (t.Has(kResizable)) style |= WS_THICKFRAME;
  if (centred) style |= DS_CENTER;
  return style;
}

uint32_t KindStyle(const ControlTemplate& c) {
  switch (c.kind) {
    case ControlKind::Label:
      return SS_LEFT | SS_NOPREFIX;
    case ControlKind::GroupBox:
      return BS_GROUPBOX;
    case ControlKind::Edit: {
      uint32_t s = ES_LEFT;
      if (c.Has(kReadOnly)) s |= ES_READONLY;
      if (c.Has(kMultiLine)) s |= ES_MULTILINE | ES_AUTOVSCROLL;
      if (c.Has(kAutoHScroll)) s |= ES_AUTOHSCROLL;
      return s;
    }
    case ControlKind::PushButton:
      return c.Has(kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    case ControlKind::RadioButton:
      return c.Has(kAutoRadio) ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON;
    case ControlKind::CheckBox:
      return BS_AUTOCHECKBOX;
    case ControlKind::ListBox:
      return LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    case ControlKind::Table:
      return LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    case ControlKind::ProgressBar:
      return PBS_SMOOTH;
    case ControlKind::SerialControl:
      return 0;
  }
  return 0;
}

// The text a control is created with: the table's headings and the bar's value are set after.
std::wstring InitialText(const ControlTemplate& c) {
  if (c.kind == ControlKind::Table || c.kind == ControlKind::ProgressBar) return {};
  return platform::win32::WideFromUtf8(c.text != nullptr ? c.text : "");
}

}  // namespace

const wchar_t* WindowClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return L"Static";
    case ControlKind::Edit:
      return L"Edit";
    case ControlKind::ListBox:
      return L"ListBox";
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
      return L"Button";
    case ControlKind::Table:
      return WC_LISTVIEWW;
    case ControlKind::ProgressBar:
      return PROGRESS_CLASSW;
    case ControlKind::SerialControl:
      return L"";
  }
  return L"";
}

bool HasWindow(const ControlTemplate& control) {
  return control.kind != ControlKind::SerialControl;
}

uint32_t ControlWindowStyle(const ControlTemplate& c) {
  uint32_t style = WS_CHILD | KindStyle(c);
  if (!c.Has(kHidden)) style |= WS_VISIBLE;
  if (c.Has(kDisabled)) style |= WS_DISABLED;
  if (c.Has(kTabStop)) style |= WS_TABSTOP;
  if (c.Has(kGroup)) style |= WS_GROUP;
  if (c.Has(kVScroll)) style |= WS_VSCROLL;
  if (c.Has(kBorder)) style |= WS_BORDER;
  return style;
}

uint32_t ControlExtendedStyle(const ControlTemplate& c) {
  return c.Has(kStaticEdge) ? WS_EX_STATICEDGE : 0;
}

std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& t, bool centred) {
  uint16_t items = 0;
  for (const ControlTemplate& c : t.controls) {
    if (HasWindow(c)) ++items;
  }
  TemplateWriter w;
  w.Word(kExtendedVersion);
  w.Word(kExtendedSignature);
  w.DWord(0);  // help context
  w.DWord(0);  // extended style
  w.DWord(DialogWindowStyle(t, centred));
  w.Word(items);
  w.Short(0);
  w.Short(0);
  w.Short(t.widthDu);
  w.Short(t.heightDu);
  w.Word(0);  // no menu
  w.Word(0);  // the dialog class
  w.Text(platform::win32::WideFromUtf8(t.caption != nullptr ? t.caption : ""));
  w.Word(static_cast<uint16_t>(t.fontPointSize));
  w.Word(FW_NORMAL);
  w.Byte(0);  // not italic
  w.Byte(DEFAULT_CHARSET);
  w.Text(platform::win32::WideFromUtf8(t.fontName != nullptr ? t.fontName : ""));

  for (const ControlTemplate& c : t.controls) {
    if (!HasWindow(c)) continue;
    w.AlignDWord();
    w.DWord(0);  // help context
    w.DWord(ControlExtendedStyle(c));
    w.DWord(ControlWindowStyle(c));
    w.Short(c.rect.x);
    w.Short(c.rect.y);
    w.Short(c.rect.width);
    w.Short(c.rect.height);
    w.DWord(static_cast<uint32_t>(c.id));  // IDC_STATIC is -1, as the dialog manager has it
    if (const uint16_t atom = AtomOf(c.kind); atom != 0) {
      w.Word(kAtomFollows);
      w.Word(atom);
    } else {
      w.Text(WindowClassOf(c.kind));
    }
    w.Text(InitialText(c));
    w.Word(0);  // no creation data
  }
  return w.Finish();
}

}  // namespace kt::ui::win32
