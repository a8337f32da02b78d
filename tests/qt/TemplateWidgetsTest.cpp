// Every control of the program's templates realised as the right widget: kind, text, place,
// visibility and enabled state, found by objectName; the status boxes clear of visible controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <vector>

#include "GuiTestSupport.h"
#include "RecordingDialog.h"
#include "commands/AddrDialogIds.h"
#include "commands/AddrDialogTemplate.h"
#include "commands/MeterSetDialogIds.h"
#include "commands/MeterSetDialogTemplate.h"
#include "qt/DialogFont.h"
#include "qt/QtWindowHost.h"
#include "ui/CommSetDialogIds.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/FindMeterDialogTemplate.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogTemplate.h"

namespace kt::ui::qt::test {
namespace {

std::vector<const DialogTemplate*> ProgramTemplates() {
  return {&MainDialogTemplate(), &CommSetDialogTemplate(), &MeterSetDialogTemplate(),
          &AddrDialogTemplate(), &FindMeterDialogTemplate()};
}

QString TextOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
  if (auto* p = qobject_cast<QProgressBar*>(w)) return QString::number(p->value());
  if (auto* t = qobject_cast<QTableWidget*>(w)) {
    QStringList headings;
    for (int c = 0; c < t->columnCount(); ++c) headings << t->horizontalHeaderItem(c)->text();
    return headings.join(QLatin1Char('\t'));
  }
  return {};
}

// Checks one control's widget against its template entry.
void ExpectWidgetFor(const ControlTemplate& c, QWidget* w, const DialogUnits& u) {
  const QString text = QString::fromUtf8(c.text);
  switch (c.kind) {
    case ControlKind::Label:
      EXPECT_NE(qobject_cast<QLabel*>(w), nullptr);
      break;
    case ControlKind::GroupBox:
      EXPECT_NE(qobject_cast<QGroupBox*>(w), nullptr);
      break;
    case ControlKind::PushButton: {
      auto* b = qobject_cast<QPushButton*>(w);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->isDefault(), c.Has(kDefaultButton));
      break;
    }
    case ControlKind::RadioButton: {
      auto* r = qobject_cast<QRadioButton*>(w);
      ASSERT_NE(r, nullptr);
      EXPECT_FALSE(r->autoExclusive());
      break;
    }
    case ControlKind::Edit:
      if (c.Has(kMultiLine)) {
        auto* m = qobject_cast<QPlainTextEdit*>(w);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->isReadOnly(), c.Has(kReadOnly));
        EXPECT_EQ(m->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, c.Has(kVScroll));
      } else {
        auto* e = qobject_cast<QLineEdit*>(w);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->isReadOnly(), c.Has(kReadOnly));
        EXPECT_EQ(e->hasFrame(), c.Has(kBorder) || c.Has(kStaticEdge));
      }
      break;
    case ControlKind::ListBox: {
      auto* l = qobject_cast<QListWidget*>(w);
      ASSERT_NE(l, nullptr);
      EXPECT_EQ(l->editTriggers(), QAbstractItemView::NoEditTriggers);  // read-only
      break;
    }
    case ControlKind::CheckBox:
      EXPECT_NE(qobject_cast<QCheckBox*>(w), nullptr);
      break;
    case ControlKind::Table: {
      auto* t = qobject_cast<QTableWidget*>(w);
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->editTriggers(), QAbstractItemView::NoEditTriggers);
      EXPECT_EQ(t->selectionBehavior(), QAbstractItemView::SelectRows);
      break;
    }
    case ControlKind::ProgressBar:
      EXPECT_NE(qobject_cast<QProgressBar*>(w), nullptr);
      break;
    case ControlKind::SerialControl:
      FAIL() << "the serial control must not be drawn";
  }
  EXPECT_EQ(TextOf(w), text);
  EXPECT_EQ(w->isHidden(), c.Has(kHidden));
  EXPECT_EQ(w->isEnabled(), !c.Has(kDisabled));
  EXPECT_EQ(w->geometry(), u.Rect(c.rect));
}

// Runs a plain dialog of the template and lets `check` look at its window.
void WithWindow(const DialogTemplate& t,
                const std::function<void(QtWindowHost&, QWidget*)>& check) {
  QtWindowHost host;
  RecordingDialog d(host, t);
  d.onInit = [&] {
    UserStep(d, [&] {
      check(host, host.WindowOf(d));
      d.EndDialog(IDCANCEL);
    });
  };
  d.DoModal();
}

TEST(TemplateWidgets, EveryControlIsTheWidgetItsTemplateDescribes) {
  for (const DialogTemplate* t : ProgramTemplates()) {
    SCOPED_TRACE(t->id);
    WithWindow(*t, [&](QtWindowHost&, QWidget* w) {
      const DialogUnits u = DialogUnits::Of(w->font());
      for (const ControlTemplate& c : t->controls) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::to_string(c.id));
        if (c.kind == ControlKind::SerialControl) {
          EXPECT_EQ(ControlIn(w, c.id), nullptr);
          continue;
        }
        QWidget* found = nullptr;
        if (c.id != IDC_STATIC) {
          found = ControlIn(w, c.id);
        } else {
          for (QWidget* child : w->findChildren<QWidget*>()) {
            if (child->objectName().isEmpty() && TextOf(child) == QString::fromUtf8(c.text) &&
                child->geometry() == u.Rect(c.rect)) {
              found = child;
            }
          }
        }
        ASSERT_NE(found, nullptr);
        ExpectWidgetFor(c, found, u);
      }
    });
  }
}

enum class Shape { Button, DefaultButton, Radio, Entry, DataBox, EchoBox, InfoBox };

struct Spot {
  int templateId;
  int controlId;
  Shape shape;
  const char* text;
  bool hidden;
  bool enabled;
};

bool HasShape(QWidget* w, Shape shape) {
  auto* line = qobject_cast<QLineEdit*>(w);
  auto* multi = qobject_cast<QPlainTextEdit*>(w);
  auto* push = qobject_cast<QPushButton*>(w);
  switch (shape) {
    case Shape::Button:
      return push != nullptr && !push->isDefault();
    case Shape::DefaultButton:
      return push != nullptr && push->isDefault();
    case Shape::Radio:
      return qobject_cast<QRadioButton*>(w) != nullptr;
    case Shape::Entry:
      return line != nullptr && !line->isReadOnly();
    case Shape::DataBox:
      return line != nullptr && line->isReadOnly() && line->hasFrame();
    case Shape::EchoBox:
      return multi != nullptr && multi->isReadOnly() &&
             multi->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    case Shape::InfoBox:
      return multi != nullptr && multi->isReadOnly() &&
             multi->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff;
  }
  return false;
}

// What the documents say of particular controls, independent of the templates' tables (those of
// the main and the communication settings dialogs: tests/ui/main_template_test).
TEST(TemplateWidgets, ParticularControlsAsTheProgramShowsThem) {
  const Spot spots[] = {
      {main_ids::kTemplateId, main_ids::kInformationBox, Shape::InfoBox, "", false, true},
      {main_ids::kTemplateId, main_ids::kSendEcho, Shape::EchoBox, "", false, true},
      {main_ids::kTemplateId, main_ids::kPhaseVoltageTotalBox, Shape::DataBox, "", false, true},
      {comm_set_ids::kTemplateId, IDOK, Shape::DefaultButton, "确    定", false, true},
      {meter_set_ids::kTemplateId, IDOK, Shape::DefaultButton, "设置", false, true},
      {meter_set_ids::kTemplateId, IDCANCEL, Shape::Button, "退出", false, true},
      {meter_set_ids::kTemplateId, meter_set_ids::kPtEdit, Shape::Entry, "", false, true},
      {meter_set_ids::kTemplateId, meter_set_ids::kCtEdit, Shape::Entry, "", false, true},
      {meter_set_ids::kTemplateId, meter_set_ids::kThreePhaseFourWireUnbalancedRadio, Shape::Radio,
       "3相4线(非平衡)", false, true},
      {meter_set_ids::kTemplateId, meter_set_ids::kThreePhaseFourWireBalancedRadio, Shape::Radio,
       "3相4线(平衡)", false, true},
      {addr_ids::kTemplateId, IDOK, Shape::DefaultButton, "OK", false, true},
      {addr_ids::kTemplateId, IDCANCEL, Shape::Button, "Cancel", false, true},
      {addr_ids::kTemplateId, addr_ids::kNewAddressEdit, Shape::Entry, "", false, true},
  };
  for (const DialogTemplate* t : ProgramTemplates()) {
    WithWindow(*t, [&](QtWindowHost&, QWidget* w) {
      for (const Spot& s : spots) {
        if (s.templateId != t->id) continue;
        SCOPED_TRACE(std::to_string(s.templateId) + "/" + std::to_string(s.controlId));
        QWidget* c = ControlIn(w, s.controlId);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(HasShape(c, s.shape));
        EXPECT_EQ(TextOf(c).toStdString(), s.text);
        EXPECT_EQ(c->isHidden(), s.hidden);
        EXPECT_EQ(c->isEnabled(), s.enabled);
      }
    });
  }
}

TEST(TemplateWidgets, StatusBoxesLieInsideTheMainDialogClearOfVisibleControls) {
  // The limit status and the link status boxes.
  const int statusIds[] = {
      main_ids::kVoltageStatus1Box, main_ids::kVoltageStatus2Box, main_ids::kVoltageStatus3Box,
      main_ids::kVoltageStatus4Box, main_ids::kCurrentStatus1Box, main_ids::kCurrentStatus2Box,
      main_ids::kCurrentStatus3Box, main_ids::kCurrentStatus4Box, main_ids::kLinkStateBox,
      main_ids::kLinkDeviceBox,     main_ids::kLinkCounterBox,    main_ids::kLinkLastDataBox};
  WithWindow(MainDialogTemplate(), [&](QtWindowHost&, QWidget* w) {
    for (int id : statusIds) {
      SCOPED_TRACE(id);
      QWidget* s = ControlIn(w, id);
      ASSERT_NE(s, nullptr);
      EXPECT_TRUE(w->rect().contains(s->geometry()));
      for (QWidget* other : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == s || other->isHidden()) continue;
        if (qobject_cast<QGroupBox*>(other) != nullptr &&
            !other->geometry().intersected(s->geometry()).isEmpty() &&
            other->geometry().contains(s->geometry())) {
          continue;  // lying inside a group box's frame is fine
        }
        EXPECT_FALSE(other->geometry().intersects(s->geometry()))
            << other->objectName().toStdString() << " " << TextOf(other).toStdString();
      }
    }
  });
}

// (The port list as a user sees and picks it: KeyboardDesktopTest.)

}  // namespace
}  // namespace kt::ui::qt::test
