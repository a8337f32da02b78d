// The Qt host's behaviour on a template of every control kind: clicks, keys, close box, texts,
// visibility, timers, message boxes and window lifetime.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdlib>
#include <stdexcept>

#include "GuiTestSupport.h"
#include "HostInputCases.h"
#include "HostRedrawSteps.h"
#include "RecordingDialog.h"
#include "qt/DialogFont.h"
#include "qt/QtWindowHost.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/MainDialogTemplate.h"

namespace kt::ui::qt::test {
namespace {

constexpr int kRadioA = 1001, kRadioB = 1002, kEntry = 1003, kEchoBox = 1004;
constexpr int kHiddenButton = 1005, kSerialBox = 1006;

constexpr uint32_t kRadio = kAutoRadio | kGroup | kTabStop;
constexpr uint32_t kEcho = kMultiLine | kReadOnly | kVScroll | kStaticEdge;
constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::PushButton, "确定", {150, 8, 40, 14}, kDefaultButton | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "取消", {150, 26, 40, 14}, kTabStop},
    {kRadioA, ControlKind::RadioButton, "甲", {10, 8, 40, 12}, kRadio},
    {kRadioB, ControlKind::RadioButton, "乙", {10, 22, 40, 12}, kRadio},
    {IDC_STATIC, ControlKind::GroupBox, "选择", {4, 0, 60, 40}, kNoStyle},
    {kEntry, ControlKind::Edit, "", {70, 8, 60, 14}, kBorder | kAutoHScroll | kTabStop},
    {kEchoBox, ControlKind::Edit, "", {10, 46, 80, 30}, kEcho},
    {kHiddenButton, ControlKind::PushButton, "隐藏", {150, 44, 40, 14}, kHidden | kDisabled},
    {kSerialBox, ControlKind::SerialControl, "", {100, 60, 20, 20}, kNoStyle},
    {IDC_STATIC, ControlKind::Label, "标签", {70, 26, 30, 8}, kNoStyle},
};
const DialogTemplate kTemplate{
    900, "测试", 200, 90, "宋体", 9, kCaption | kSysMenu | kModalFrame, kControls};

class QtHostTest : public ::testing::Test {
 protected:
  QtWindowHost host;
  RecordingDialog dialog{host, kTemplate};
  // Runs the dialog; `user` is called inside its modal loop with its window.
  int Run(const std::function<void(QWidget*)>& user) { return Play(dialog, user); }
};

TEST_F(QtHostTest, RadioClickChecksTheClickedButtonOnlyAndSendsItsCommand) {
  bool checkedWhenHandled = false;
  dialog.onCommand = [&](int id) {
    if (id == kRadioB) checkedWhenHandled = host.GetCheck(dialog, kRadioB);
    return false;
  };
  Run([&](QWidget* w) {
    auto* a = ControlIn<QRadioButton>(w, kRadioA);
    auto* b = ControlIn<QRadioButton>(w, kRadioB);
    ASSERT_TRUE(a && b);
    QTest::mouseClick(a, Qt::LeftButton);
    QTest::mouseClick(b, Qt::LeftButton);
    // Each radio is a group of its own: no automatic exclusion between them.
    EXPECT_TRUE(a->isChecked() && b->isChecked());
    QTest::mouseClick(a, Qt::LeftButton);  // a second click leaves an automatic radio checked
    EXPECT_TRUE(a->isChecked());
    host.SetCheck(dialog, kRadioA, false);
    EXPECT_FALSE(host.GetCheck(dialog, kRadioA));
  });
  EXPECT_EQ(dialog.commands, (std::vector<int>{kRadioA, kRadioB, kRadioA}));
  EXPECT_TRUE(checkedWhenHandled);
}

// The keys and clicks every host turns into the same commands (tests/support/HostInputCases.h),
// through the widgets; the close box, left to the base, then ends the dialog and its window.
TEST(QtHostInput, KeysAndClicksAreTheCommandsOfEveryHost) {
  using kt::testing::UserInput;
  for (const kt::testing::HostInputCase& c : kt::testing::HostInputCases()) {
    SCOPED_TRACE(c.what);
    QtWindowHost host;
    RecordingDialog dialog(host, c.dialog());
    const bool typed = c.input == UserInput::DigitOverTheFocusedText ||
                       c.input == UserInput::DigitOverTheFirstTabStop;
    if (c.input == UserInput::DigitOverTheFocusedText) dialog.selectAtStart = c.control;
    dialog.onCommand = [](int) { return true; };  // the dialog keeps itself open
    bool stillOpen = false, checked = false;
    std::string text;
    dialog.onInit = [&] {
      if (typed) host.SetText(dialog, c.control, kt::testing::kTextAtStart);
    };
    const int result = Play(dialog, [&](QWidget* w) {
      QWidget* control = ControlIn(w, c.control);
      ASSERT_NE(control, nullptr);
      if (c.input == UserInput::Click) QTest::mouseClick(control, Qt::LeftButton);
      if (c.input == UserInput::Enter || c.input == UserInput::Escape) {
        control->setFocus();
        QTest::keyClick(control, c.input == UserInput::Enter ? Qt::Key_Return : Qt::Key_Escape);
      }
      if (c.input == UserInput::CloseBox) w->close();
      if (typed) QTest::keyClicks(w->focusWidget(), kt::testing::kTypedDigit);
      stillOpen = w->isVisible();
      text = host.GetText(dialog, c.control);
      checked = host.GetCheck(dialog, c.control);
      dialog.onCommand = nullptr;
      w->close();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(host.WindowOf(dialog), nullptr);
    EXPECT_TRUE(stillOpen);
    dialog.commands.pop_back();  // the close box that ended it
    EXPECT_EQ(dialog.commands, c.command == kt::testing::kNoCommand ? std::vector<int>{}
                                                                    : std::vector<int>{c.command});
    if (c.textAfter != nullptr) {
      EXPECT_EQ(text, c.textAfter);
    }
    EXPECT_EQ(checked, c.checkedAfter);
  }
}

TEST_F(QtHostTest, EchoBoxShowsOneRowOfBytesWhileTheTextKeepsItsCarriageReturns) {
  std::string echo;
  for (int i = 0; i < 40; ++i) echo += "A5\r ";
  Run([&](QWidget* w) {
    host.SetText(dialog, kEchoBox, echo);
    auto* box = ControlIn<QPlainTextEdit>(w, kEchoBox);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(box->document()->blockCount(), 1);  // no line break on screen
    EXPECT_EQ(box->toPlainText().left(9), QStringLiteral("A5 A5 A5 "));
    QApplication::processEvents();
    EXPECT_GT(box->document()->firstBlock().layout()->lineCount(), 1);  // wrapped at the edge
    EXPECT_EQ(host.GetText(dialog, kEchoBox), echo);
  });
}

TEST_F(QtHostTest, EditableEditReturnsWhatTheUserTyped) {
  Run([&](QWidget* w) {
    host.SetText(dialog, kEntry, "12");
    auto* edit = ControlIn<QLineEdit>(w, kEntry);
    edit->selectAll();
    QTest::keyClicks(edit, "254");
    EXPECT_EQ(host.GetText(dialog, kEntry), "254");
    EXPECT_EQ(host.GetText(dialog, 4711), "");  // no such control
    host.SetText(dialog, 4711, "x");            // does nothing
  });
}

// The redraws every host makes and spares (tests/support/HostRedrawSteps.h): paint events.
TEST(QtHostRedraw, OnlyANewTextOrColourOrARedrawDrawsAControl) {
  struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
      paints += event->type() == QEvent::Paint ? 1 : 0;
      return false;
    }
  } counter;
  QtWindowHost host;
  RecordingDialog dialog(host, MainDialogTemplate());
  std::map<int, bool> red;
  dialog.onCtlColor = [&](int id, CtlColorType) {
    return red[id] ? CtlColor{false, true, kRed, kDialogBackground} : CtlColor{};
  };
  Play(dialog, [&](QWidget* w) {
    for (const kt::testing::RedrawStep& step : kt::testing::RedrawSteps()) {
      SCOPED_TRACE(std::to_string(step.control) + (step.text ? step.text : " redrawn"));
      QWidget* control = ControlIn(w, step.control);
      QApplication::processEvents();
      counter.paints = 0;
      control->installEventFilter(&counter);
      red[step.control] = step.red;
      if (step.text != nullptr) {
        dialog.SetDlgItemText(step.control, step.text);
        EXPECT_EQ(dialog.GetDlgItemText(step.control), step.text);
      } else {
        dialog.RedrawControl(step.control);
      }
      QApplication::processEvents();
      control->removeEventFilter(&counter);
      EXPECT_EQ(counter.paints > 0, step.drawn);
    }
  });
}

TEST_F(QtHostTest, HiddenDisabledAndPlaceholderControls) {
  Run([&](QWidget* w) {
    auto* hidden = ControlIn<QPushButton>(w, kHiddenButton);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_FALSE(hidden->isEnabled());
    EXPECT_EQ(ControlIn(w, kSerialBox), nullptr);  // the serial control is never drawn
    host.ShowControl(dialog, kSerialBox, true);    // and showing it does nothing
    host.ShowControl(dialog, kHiddenButton, true);
    host.EnableControl(dialog, kHiddenButton, true);
    EXPECT_TRUE(hidden->isVisible());
    QTest::mouseClick(hidden, Qt::LeftButton);
    host.EnableControl(dialog, kHiddenButton, false);
    QTest::mouseClick(hidden, Qt::LeftButton);  // a disabled button sends nothing
  });
  EXPECT_EQ(dialog.commands, (std::vector<int>{kHiddenButton}));
}

TEST_F(QtHostTest, TimersTickRestartStopAndKeepTickingInAMessageBox) {
  dialog.onInit = [&] { host.SetTimer(dialog, 7, 20); };
  Run([&](QWidget* owner) {
    owner->move(150, 200);  // off the screen's centre, with room for the box around it
    // While the message box is open the dialog's timer goes on.
    WhenMessageBox([&](QMessageBox* box) {
      const QPoint off = box->frameGeometry().center() - owner->frameGeometry().center();
      EXPECT_LE(std::max(std::abs(off.x()), std::abs(off.y())), 2);  // centred on it
      EXPECT_EQ(box->text(), QStringLiteral("提示"));
      ASSERT_EQ(box->buttons().size(), 1);
      EXPECT_EQ(box->buttons().front()->text(), QStringLiteral("确定"));
      const int before = dialog.ticks[7];
      const auto close = [box] { box->buttons().front()->click(); };
      WhenTrue([&, before] { return dialog.ticks[7] >= before + 3; }, close, 3000,
               [close] {
                 ADD_FAILURE() << "no tick during the message box";
                 close();
               });
    });
    dialog.AfxMessageBox("提示");
    host.SetTimer(dialog, 7, 20);  // restarting a running timer keeps one timer
    EXPECT_TRUE(host.TimerRunning(dialog, 7));
    host.KillTimer(dialog, 7);
    host.KillTimer(dialog, 8);  // not running: nothing happens
    const int stopped = dialog.ticks[7];
    Pump(100);
    EXPECT_EQ(dialog.ticks[7], stopped);
  });
}

TEST_F(QtHostTest, DestroyWindowEndsTheTimersAndControlOperationsDoNothingAfterwards) {
  Run([&](QWidget*) { host.SetTimer(dialog, 1, 10); });
  EXPECT_EQ(host.WindowOf(dialog), nullptr);
  EXPECT_FALSE(host.TimerRunning(dialog, 1));
  const int ticks = dialog.ticks[1];
  Pump(60);
  EXPECT_EQ(dialog.ticks[1], ticks);
  host.SetText(dialog, kEntry, "x");
  EXPECT_EQ(host.GetText(dialog, kEntry), "");
}

TEST_F(QtHostTest, AFailureInOnInitDialogIsShownAndTheDialogStaysOpen) {
  QString shown;
  bool openAfterwards = false;
  dialog.onInit = [&] {
    WhenMessageBox(
        [&](QMessageBox* box) {
          shown = box->text();
          box->buttons().front()->click();
          UserStep(dialog, [&] {
            openAfterwards = host.WindowOf(dialog) != nullptr && ActiveModal() != nullptr;
            dialog.EndDialog(IDCANCEL);
          });
        },
        [&] { dialog.EndDialog(IDCANCEL); });
    throw std::runtime_error("设置被拒绝");
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(shown.contains(QStringLiteral("设置被拒绝")));
  EXPECT_TRUE(openAfterwards);
}

TEST_F(QtHostTest, EndingInOnInitDialogRunsNoLoop) {
  dialog.onInit = [&] { dialog.EndDialog(IDOK); };
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST_F(QtHostTest, AnExceptionInAHandlerBecomesAMessageInsteadOfEndingTheProgram) {
  dialog.onCommand = [](int id) -> bool {
    if (id == kRadioA) throw std::runtime_error("串口 /dev/null 无法使用");
    return false;
  };
  QString shown;
  Run([&](QWidget* w) {
    WhenMessageBox([&](QMessageBox* box) {
      shown = box->text();
      box->buttons().front()->click();
    });
    QTest::mouseClick(ControlIn(w, kRadioA), Qt::LeftButton);
  });
  EXPECT_TRUE(shown.contains(QStringLiteral("无法使用"))) << shown.toStdString();
}

// A question is answered Yes only by "是" (its key Y); Escape and Return (the default) say No.
TEST_F(QtHostTest, AQuestionIsAnsweredYesOnlyByItsYesButton) {
  for (const auto& [key, yes] : {std::pair{Qt::Key_Y, true}, std::pair{Qt::Key_Escape, false},
                                 std::pair{Qt::Key_Return, false}}) {
    SCOPED_TRACE(key);
    bool answer = !yes;
    Run([&, key = key](QWidget*) {
      WhenMessageBox([&](QMessageBox* box) {
        EXPECT_EQ(box->text(), QStringLiteral("确定退出？"));
        QTest::keyClick(box, key);
      });
      answer = host.AskYesNo(&dialog, "确定退出？");
    });
    EXPECT_EQ(answer, yes);
  }
}

TEST(QtHostWindows, CaptionBoxesAndFixedSizeFollowTheTemplateStyle) {
  QtWindowHost host;
  // The main dialog has a close and a minimise box; the settings dialog neither.
  for (const auto& [tmpl, boxes] :
       {std::pair{&MainDialogTemplate(), true}, std::pair{&CommSetDialogTemplate(), false}}) {
    SCOPED_TRACE(tmpl->id);
    RecordingDialog d(host, *tmpl);
    Play(d, [&, tmpl = tmpl, boxes = boxes](QWidget* w) {
      const Qt::WindowFlags f = w->windowFlags();
      EXPECT_EQ(w->windowTitle().toStdString(), tmpl->caption);
      EXPECT_EQ(f.testFlag(Qt::WindowCloseButtonHint), boxes);
      EXPECT_EQ(f.testFlag(Qt::WindowMinimizeButtonHint), boxes);
      EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint));
      const DialogUnits u = DialogUnits::Of(w->font());
      EXPECT_EQ(w->minimumSize(), w->maximumSize());
      EXPECT_EQ(w->size(), QSize(u.X(tmpl->widthDu), u.Y(tmpl->heightDu)));
      EXPECT_FALSE(w->windowIcon().isNull());
    });
  }
}

TEST(QtHostWindows, DialogUnitsFollowTheFontAndTheFallbackFaceHasTheChineseCharacters) {
  const QFont nine = DialogFont("宋体", 9);
  const DialogUnits u9 = DialogUnits::Of(nine);
  const DialogUnits u10 = DialogUnits::Of(DialogFont("宋体", 10));
  EXPECT_GE(u9.baseX, 5);
  EXPECT_GE(u9.baseY, 11);
  EXPECT_GE(u10.baseY, u9.baseY);
  EXPECT_EQ(u9.X(4), u9.baseX);
  EXPECT_EQ(u9.Y(8), u9.baseY);
  EXPECT_TRUE(QFontMetrics(nine).inFont(QChar(0x8FD0)));  // 运
}

}  // namespace
}  // namespace kt::ui::qt::test
