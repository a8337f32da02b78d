// Every control of the program's templates realised as the right widget, found by objectName.
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
#include <map>
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

// Checks one control's widget against its template entry (the serial control is never drawn).
void ExpectWidgetFor(const ControlTemplate& c, QWidget* w, const DialogUnits& u) {
  const std::map<ControlKind, const char*> classes = {{ControlKind::Label, "QLabel"},
                                                      {ControlKind::GroupBox, "QGroupBox"},
                                                      {ControlKind::PushButton, "QPushButton"},
                                                      {ControlKind::RadioButton, "QRadioButton"},
                                                      {ControlKind::Edit, "QLineEdit"},
                                                      {ControlKind::ListBox, "QListWidget"},
                                                      {ControlKind::CheckBox, "QCheckBox"},
                                                      {ControlKind::Table, "QTableWidget"},
                                                      {ControlKind::ProgressBar, "QProgressBar"}};
  const bool multiLine = c.kind == ControlKind::Edit && c.Has(kMultiLine);
  ASSERT_TRUE(w->inherits(multiLine ? "QPlainTextEdit" : classes.at(c.kind)))
      << w->metaObject()->className();
  if (auto* b = qobject_cast<QPushButton*>(w)) {
    EXPECT_EQ(b->isDefault(), c.Has(kDefaultButton));
  }
  if (auto* r = qobject_cast<QRadioButton*>(w)) {
    EXPECT_FALSE(r->autoExclusive());
  }
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
    EXPECT_EQ(m->isReadOnly(), c.Has(kReadOnly));
    EXPECT_EQ(m->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, c.Has(kVScroll));
  }
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    EXPECT_EQ(e->isReadOnly(), c.Has(kReadOnly));
    EXPECT_EQ(e->hasFrame(), c.Has(kBorder) || c.Has(kStaticEdge));
  }
  // Lists and tables are read-only; a table selects whole rows.
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    EXPECT_EQ(v->editTriggers(), QAbstractItemView::NoEditTriggers);
  }
  if (auto* t = qobject_cast<QTableWidget*>(w)) {
    EXPECT_EQ(t->selectionBehavior(), QAbstractItemView::SelectRows);
  }
  EXPECT_EQ(TextOf(w), QString::fromUtf8(c.text));
  EXPECT_EQ(w->isHidden(), c.Has(kHidden));
  EXPECT_EQ(w->isEnabled(), !c.Has(kDisabled));
  EXPECT_EQ(w->geometry(), u.Rect(c.rect));
}

// Runs a plain dialog of the template and lets `check` look at its window.
void WithWindow(const DialogTemplate& t, const std::function<void(QWidget*)>& check) {
  QtWindowHost host;
  RecordingDialog d(host, t);
  Play(d, check);
}

TEST(TemplateWidgets, EveryControlIsTheWidgetItsTemplateDescribes) {
  for (const DialogTemplate* t : ProgramTemplates()) {
    SCOPED_TRACE(t->id);
    WithWindow(*t, [&](QWidget* w) {
      const DialogUnits u = DialogUnits::Of(w->font());
      for (const ControlTemplate& c : t->controls) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::to_string(c.id));
        QWidget* found = c.id != IDC_STATIC ? ControlIn(w, c.id) : nullptr;
        if (c.kind == ControlKind::SerialControl) {
          EXPECT_EQ(found, nullptr);
          continue;
        }
        for (QWidget* child : w->findChildren<QWidget*>()) {
          if (c.id == IDC_STATIC && child->objectName().isEmpty() &&
              TextOf(child) == QString::fromUtf8(c.text) && child->geometry() == u.Rect(c.rect)) {
            found = child;
          }
        }
        ASSERT_NE(found, nullptr);
        ExpectWidgetFor(c, found, u);
      }
    });
  }
}

// What a user takes a control for.
std::string ShapeOf(QWidget* w) {
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->isDefault() ? "default button" : "button";
  if (qobject_cast<QRadioButton*>(w) != nullptr) return "radio";
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    return !e->isReadOnly() ? "entry" : e->hasFrame() ? "data box" : "frameless box";
  }
  auto* m = qobject_cast<QPlainTextEdit*>(w);
  if (m == nullptr || !m->isReadOnly()) return "other";
  const Qt::ScrollBarPolicy bar = m->verticalScrollBarPolicy();
  return bar == Qt::ScrollBarAlwaysOn    ? "echo box"
         : bar == Qt::ScrollBarAlwaysOff ? "info box"
                                         : "box";
}

// What the documents say of particular controls, independent of the templates' tables (those of
// the main and the communication settings dialogs: tests/ui/main_template_test). Each is shown
// and enabled.
TEST(TemplateWidgets, ParticularControlsAsTheProgramShowsThem) {
  namespace ms = meter_set_ids;
  const struct {
    int templateId, controlId;
    const char *shape, *text;
  } spots[] = {
      {main_ids::kTemplateId, main_ids::kInformationBox, "info box", ""},
      {main_ids::kTemplateId, main_ids::kSendEcho, "echo box", ""},
      {main_ids::kTemplateId, main_ids::kPhaseVoltageTotalBox, "data box", ""},
      {comm_set_ids::kTemplateId, IDOK, "default button", "确    定"},
      {ms::kTemplateId, IDOK, "default button", "设置"},
      {ms::kTemplateId, IDCANCEL, "button", "退出"},
      {ms::kTemplateId, ms::kPtEdit, "entry", ""},
      {ms::kTemplateId, ms::kCtEdit, "entry", ""},
      {ms::kTemplateId, ms::kThreePhaseFourWireUnbalancedRadio, "radio", "3相4线(非平衡)"},
      {ms::kTemplateId, ms::kThreePhaseFourWireBalancedRadio, "radio", "3相4线(平衡)"},
      {addr_ids::kTemplateId, IDOK, "default button", "OK"},
      {addr_ids::kTemplateId, IDCANCEL, "button", "Cancel"},
      {addr_ids::kTemplateId, addr_ids::kNewAddressEdit, "entry", ""},
  };
  for (const DialogTemplate* t : ProgramTemplates()) {
    WithWindow(*t, [&](QWidget* w) {
      for (const auto& s : spots) {
        if (s.templateId != t->id) continue;
        SCOPED_TRACE(std::to_string(s.templateId) + "/" + std::to_string(s.controlId));
        QWidget* c = ControlIn(w, s.controlId);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(ShapeOf(c), s.shape);
        EXPECT_EQ(TextOf(c).toStdString(), s.text);
        EXPECT_FALSE(c->isHidden());
        EXPECT_TRUE(c->isEnabled());
      }
    });
  }
}

TEST(TemplateWidgets, StatusBoxesLieInsideTheMainDialogClearOfVisibleControls) {
  using namespace main_ids;
  WithWindow(MainDialogTemplate(), [&](QWidget* w) {
    // The limit status and the link status boxes.
    for (int id : {kVoltageStatus1Box, kVoltageStatus2Box, kVoltageStatus3Box, kVoltageStatus4Box,
                   kCurrentStatus1Box, kCurrentStatus2Box, kCurrentStatus3Box, kCurrentStatus4Box,
                   kLinkStateBox, kLinkDeviceBox, kLinkCounterBox, kLinkLastDataBox}) {
      SCOPED_TRACE(id);
      QWidget* s = ControlIn(w, id);
      ASSERT_NE(s, nullptr);
      EXPECT_TRUE(w->rect().contains(s->geometry()));
      for (QWidget* other : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // Lying inside a group box's frame is fine.
        if (other == s || other->isHidden() ||
            (qobject_cast<QGroupBox*>(other) != nullptr &&
             other->geometry().contains(s->geometry()))) {
          continue;
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
