// Control colours from the colour handler: red or black text on the pale cyan brush for an
// editable status box, dialog colours for read-only boxes, repainted on request.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "FakeSerialPort.h"
#include "GuiTestSupport.h"
#include "PixelCount.h"
#include "RecordingDialog.h"
#include "modbus/Clock.h"
#include "qt/QtWindowHost.h"
#include "serial/SerialControl.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

namespace kt::ui::qt::test {
namespace {

constexpr ControlTemplate kControls[] = {
    {main_ids::kVoltageStatus1Box, ControlKind::Edit, "", {10, 10, 60, 14}, kBorder | kAutoHScroll},
    {main_ids::kPhaseVoltageTotalBox,
     ControlKind::Edit,
     "",
     {10, 30, 60, 14},
     kReadOnly | kStaticEdge},
    {IDCANCEL, ControlKind::PushButton, "退  出", {80, 10, 40, 14}, kNoStyle},
};
const DialogTemplate kTemplate{901, "颜色", 130, 50, "宋体", 9, kCaption | kModalFrame, kControls};

TEST(ControlColours, AlarmIsRedAndNormalBlackOnThePaleCyanBrushAfterARepaint) {
  QtWindowHost host;
  host.SetDialogBkColor(kDialogBackground, kBlack);
  RecordingDialog dialog(host, kTemplate);
  bool alarm = true;
  int askedAsStatic = 0;
  // Colours the way the main dialog does: only editable edit boxes, and only its status box.
  dialog.onCtlColor = [&](int id, CtlColorType type) {
    if (type != CtlColorType::Edit) {
      if (id == main_ids::kPhaseVoltageTotalBox) ++askedAsStatic;
      return CtlColor{};
    }
    if (id != main_ids::kVoltageStatus1Box) return CtlColor{};
    return CtlColor{false, true, alarm ? kRed : kBlack, kDialogBackground};
  };
  Pixels alarmed, normal, readOnly, dialogFace;
  dialog.onInit = [&] {
    dialog.SetDlgItemText(main_ids::kVoltageStatus1Box, "过压");
    dialog.SetDlgItemText(main_ids::kPhaseVoltageTotalBox, "过压");
    UserStep(dialog, [&] {
      QWidget* w = host.WindowOf(dialog);
      alarmed = CountPixels(*ControlIn(w, main_ids::kVoltageStatus1Box));
      readOnly = CountPixels(*ControlIn(w, main_ids::kPhaseVoltageTotalBox));
      dialogFace = CountPixels(*w);
      alarm = false;
      dialog.RedrawControl(main_ids::kVoltageStatus1Box);
      normal = CountPixels(*ControlIn(w, main_ids::kVoltageStatus1Box));
      dialog.EndDialog(IDCANCEL);
    });
  };
  dialog.DoModal();

  EXPECT_GT(alarmed.red, 5);
  EXPECT_GT(alarmed.paleCyan, alarmed.total / 2);
  EXPECT_EQ(normal.red, 0);
  EXPECT_GT(normal.dark, 5);
  EXPECT_GT(normal.paleCyan, normal.total / 2);
  // A read-only box reports itself as static: dialog colours, black text, never the alarm red.
  EXPECT_GT(askedAsStatic, 0);
  EXPECT_EQ(readOnly.red, 0);
  EXPECT_GT(readOnly.paleCyan, readOnly.total / 2);
  EXPECT_GT(dialogFace.paleCyan, dialogFace.total / 2);
}

TEST(ControlColours, WithoutADecisionAnEditableBoxKeepsAWhiteField) {
  QtWindowHost host;
  host.SetDialogBkColor(kDialogBackground, kBlack);
  RecordingDialog dialog(host, kTemplate);
  QColor field;
  dialog.onInit = [&] {
    UserStep(dialog, [&] {
      auto* edit = ControlIn<QLineEdit>(host.WindowOf(dialog), main_ids::kVoltageStatus1Box);
      field = edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() / 2);
      dialog.EndDialog(IDCANCEL);
    });
  };
  dialog.DoModal();
  EXPECT_EQ(field, QColor(Qt::white));
}

}  // namespace
}  // namespace kt::ui::qt::test

namespace kt::ui::qt::test {
namespace {

TEST(ControlColours, MainDialogDrawsAnAlarmedStatusRedAndANormalOneBlack) {
  QtWindowHost host;
  host.SetDialogBkColor(kDialogBackground, kBlack);
  kt::testing::FakeSerialPort port;  // opens and stays silent: no device behind the dialog
  modbus::SteadyClock clock;
  CMonitorDlg dialog(host, port, clock);
  Pixels underVoltage, normalVoltage, overCurrent, laterNormal;
  QString texts[3];
  UserStep(dialog, [&] {
    QWidget* w = host.WindowOf(dialog);
    dialog.UpdateStatus(0x40, 0x20);  // voltage 1 under, current 1 normal, current 2 over
    underVoltage = CountPixels(*ControlIn(w, main_ids::kVoltageStatus1Box));
    normalVoltage = CountPixels(*ControlIn(w, main_ids::kVoltageStatus2Box));
    overCurrent = CountPixels(*ControlIn(w, main_ids::kCurrentStatus2Box));
    texts[0] = ControlIn<QLineEdit>(w, main_ids::kVoltageStatus1Box)->text();
    texts[1] = ControlIn<QLineEdit>(w, main_ids::kCurrentStatus2Box)->text();
    dialog.UpdateStatus(0x00, 0x00);  // the next block reports voltage 1 normal again
    laterNormal = CountPixels(*ControlIn(w, main_ids::kVoltageStatus1Box));
    texts[2] = ControlIn<QLineEdit>(w, main_ids::kVoltageStatus1Box)->text();
    dialog.EndDialog(IDCANCEL);
  });
  dialog.DoModal();

  EXPECT_EQ(texts[0], QStringLiteral("欠压"));
  EXPECT_EQ(texts[1], QStringLiteral("过流"));
  EXPECT_EQ(texts[2], QStringLiteral("正常"));
  for (const Pixels* red : {&underVoltage, &overCurrent}) {
    EXPECT_GT(red->red, 5);
    EXPECT_GT(red->paleCyan, red->total / 2);
  }
  for (const Pixels* black : {&normalVoltage, &laterNormal}) {
    EXPECT_EQ(black->red, 0);
    EXPECT_GT(black->dark, 5);
    EXPECT_GT(black->paleCyan, black->total / 2);
  }
}

// (Stale values: link_status_test decides grey and asks for the redraw; the redraw of a colour
// the handler decides is the first case here.)

}  // namespace
}  // namespace kt::ui::qt::test
