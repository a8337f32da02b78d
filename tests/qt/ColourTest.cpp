// Control colours from the colour handler: red or black text on the pale cyan brush for an
// editable status box, dialog colours for read-only boxes, repainted on request.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "GuiTestSupport.h"
#include "PixelCount.h"
#include "RecordingDialog.h"
#include "qt/QtWindowHost.h"
#include "ui/MainDialogIds.h"

namespace kt::ui::qt::test {
namespace {

using main_ids::kPhaseVoltageTotalBox, main_ids::kVoltageStatus1Box;

constexpr ControlTemplate kControls[] = {
    {kVoltageStatus1Box, ControlKind::Edit, "", {10, 10, 60, 14}, kBorder | kAutoHScroll},
    {kPhaseVoltageTotalBox, ControlKind::Edit, "", {10, 30, 60, 14}, kReadOnly | kStaticEdge},
    {IDCANCEL, ControlKind::PushButton, "退  出", {80, 10, 40, 14}, kNoStyle},
};
const DialogTemplate kTemplate{901, "颜色", 130, 50, "宋体", 9, kCaption | kModalFrame, kControls};

// Text of the colour on the pale cyan brush over most of the box.
void ExpectOnTheBrush(const Pixels& p, bool red) {
  EXPECT_EQ(p.red > 5, red);
  EXPECT_TRUE(red || (p.red == 0 && p.dark > 5)) << p.red << " " << p.dark;
  EXPECT_GT(p.paleCyan, p.total / 2);
}

struct ControlColours : ::testing::Test {
  ControlColours() { host.SetDialogBkColor(kDialogBackground, kBlack); }
  QtWindowHost host;
  RecordingDialog dialog{host, kTemplate};
};

TEST_F(ControlColours, AlarmIsRedAndNormalBlackOnThePaleCyanBrushAfterARepaint) {
  bool alarm = true;
  int askedAsStatic = 0;
  // Colours the way the main dialog does: only editable edit boxes, and only its status box.
  dialog.onCtlColor = [&](int id, CtlColorType type) {
    if (type != CtlColorType::Edit) askedAsStatic += id == kPhaseVoltageTotalBox;
    if (type != CtlColorType::Edit || id != kVoltageStatus1Box) return CtlColor{};
    return CtlColor{false, true, alarm ? kRed : kBlack, kDialogBackground};
  };
  Pixels alarmed, normal, readOnly, dialogFace;
  dialog.onInit = [&] {
    dialog.SetDlgItemText(kVoltageStatus1Box, "过压");
    dialog.SetDlgItemText(kPhaseVoltageTotalBox, "过压");
  };
  Play(dialog, [&](QWidget* w) {
    alarmed = CountPixels(*ControlIn(w, kVoltageStatus1Box));
    readOnly = CountPixels(*ControlIn(w, kPhaseVoltageTotalBox));
    dialogFace = CountPixels(*w);
    alarm = false;
    dialog.RedrawControl(kVoltageStatus1Box);
    normal = CountPixels(*ControlIn(w, kVoltageStatus1Box));
  });
  ExpectOnTheBrush(alarmed, true);
  ExpectOnTheBrush(normal, false);
  // A read-only box reports itself as static: dialog colours, black text, never the alarm red.
  EXPECT_GT(askedAsStatic, 0);
  EXPECT_EQ(readOnly.red, 0);
  EXPECT_GT(readOnly.paleCyan, readOnly.total / 2);
  EXPECT_GT(dialogFace.paleCyan, dialogFace.total / 2);
}

TEST_F(ControlColours, WithoutADecisionAnEditableBoxKeepsAWhiteField) {
  QColor field;
  Play(dialog, [&](QWidget* w) {
    auto* edit = ControlIn<QLineEdit>(w, kVoltageStatus1Box);
    field = edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() / 2);
  });
  EXPECT_EQ(field, QColor(Qt::white));
}

// (The main dialog's alarm red and stale grey: limit_status_test and link_status_test decide
// them and ask for the redraw; the redraw of a colour the handler decides is the first case.)

}  // namespace
}  // namespace kt::ui::qt::test
