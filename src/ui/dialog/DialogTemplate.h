// Dialog templates as plain data: caption, size in dialog units, font, style and control table.
#pragma once

#include <cstdint>
#include <span>

namespace kt::ui {

constexpr int IDC_STATIC = -1;  // a control without identifier (labels, group boxes)
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

enum class ControlKind {
  Label,          // static text
  GroupBox,       // frame with a caption
  Edit,           // edit box (single or multi-line)
  PushButton,     // push button; with kDefaultButton the default push button
  RadioButton,    // automatic radio button
  ListBox,        // read-only list of text lines; a click on a line is reported to the dialog
  SerialControl,  // place holder of the serial control; never drawn
  CheckBox,       // automatic check box: a click toggles it, then its command is sent
  // Read-only rows of cells under column headings; the text holds the headings separated by
  // '\t'. Its lines are set as a list box's, cells separated by '\t'; a click on a row is
  // reported as on a list box line, and a double click on a row as that click followed by the
  // command of the table's own identifier.
  Table,
  ProgressBar,  // a bar filled to the share its text gives in percent, "0" to "100"
};

// Control style flags.
enum ControlStyle : uint32_t {
  kNoStyle = 0,
  kReadOnly = 1u << 0,
  kMultiLine = 1u << 1,
  kVScroll = 1u << 2,
  kStaticEdge = 1u << 3,
  kBorder = 1u << 4,
  kAutoHScroll = 1u << 5,
  kHidden = 1u << 6,  // created invisible
  kDisabled = 1u << 7,
  kDefaultButton = 1u << 8,
  kAutoRadio = 1u << 9,
  kGroup = 1u << 10,  // starts a group of its own
  kTabStop = 1u << 11,
  // In a resizable dialog: where the control goes as the dialog grows (see Grown).
  kGrowWide = 1u << 12,    // the right edge keeps its distance to the dialog's right edge
  kGrowTall = 1u << 13,    // the bottom edge keeps its distance to the dialog's bottom edge
  kKeepRight = 1u << 14,   // the control moves with the dialog's right edge
  kKeepBottom = 1u << 15,  // the control moves with the dialog's bottom edge
};

// Dialog window style flags.
enum DialogStyle : uint32_t {
  kCaption = 1u << 0,
  kSysMenu = 1u << 1,  // system menu, and with it the close box
  kMinimizeBox = 1u << 2,
  kMaximizeBox = 1u << 3,
  kModalFrame = 1u << 4,
  kResizable = 1u << 5,  // the user may make it larger than its template; never smaller
};

// A rectangle in dialog units: x, y, width, height.
struct DuRect {
  int x;
  int y;
  int width;
  int height;
};

// Where a control at `r` (in any unit) goes when its dialog has grown by `dx` and `dy` in that
// unit, by its kGrow* and kKeep* styles.
constexpr DuRect Grown(uint32_t style, DuRect r, int dx, int dy) {
  if ((style & kKeepRight) != 0) r.x += dx;
  if ((style & kGrowWide) != 0) r.width += dx;
  if ((style & kKeepBottom) != 0) r.y += dy;
  if ((style & kGrowTall) != 0) r.height += dy;
  return r;
}

struct ControlTemplate {
  int id;  // IDC_STATIC for controls without identifier
  ControlKind kind;
  const char* text;  // UTF-8
  DuRect rect;
  uint32_t style;  // ControlStyle flags

  bool Has(ControlStyle s) const { return (style & s) != 0; }
};

struct DialogTemplate {
  int id;               // resource number, e.g. 102 for the main dialog
  const char* caption;  // UTF-8
  int widthDu;
  int heightDu;
  const char* fontName;
  int fontPointSize;
  uint32_t style;  // DialogStyle flags
  std::span<const ControlTemplate> controls;

  bool Has(DialogStyle s) const { return (style & s) != 0; }
  // Returns the first control with this identifier, or nullptr.
  const ControlTemplate* Find(int controlId) const {
    for (const auto& c : controls) {
      if (c.id == controlId) return &c;
    }
    return nullptr;
  }
  // The command Enter sends while control `focusedId` has the focus: a push button's own, else
  // the default button's, else IDOK. An edit box of any kind, read-only or multi-line too, leaves
  // Enter to the dialog.
  int EnterCommand(int focusedId) const {
    const ControlTemplate* focused = Find(focusedId);
    if (focused != nullptr && focused->kind == ControlKind::PushButton) return focused->id;
    for (const auto& c : controls) {
      if (c.kind == ControlKind::PushButton && c.Has(kDefaultButton)) return c.id;
    }
    return IDOK;
  }
  // The control the dialog manager gives the focus to when the initialisation leaves it to it:
  // the first one with a tab stop that is created visible and enabled, or nullptr.
  const ControlTemplate* FirstTabStop() const {
    for (const auto& c : controls) {
      if (c.Has(kTabStop) && !c.Has(kHidden) && !c.Has(kDisabled)) return &c;
    }
    return nullptr;
  }
};

}  // namespace kt::ui
