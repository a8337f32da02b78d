// Every control of the program's templates realised as the right widget: kind, text, place,
// visibility and enabled state, found by objectName; the status boxes clear of visible controls.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "GuiTestSupport.h"
#include "RecordingDialog.h"
#include "commands/AddrDialogTemplate.h"
#include "commands/MeterSetDialogTemplate.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/MainDialogTemplate.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/QtWindowHost.h"

namespace kt::ui::qt::test {
namespace {

std::vector<const DialogTemplate*> ProgramTemplates() {
  return {&MainDialogTemplate(), &CommSetDialogTemplate(), &MeterSetDialogTemplate(),
          &AddrDialogTemplate()};
}

QString TextOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
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

// What the documents say of particular controls, independent of the templates' tables.
TEST(TemplateWidgets, ParticularControlsAsTheProgramShowsThem) {
  const Spot spots[] = {
      {102, 1061, Shape::Entry, "", false, true},
      {102, 1057, Shape::InfoBox, "", false, true},
      {102, 1000, Shape::DataBox, "", false, true},
      {102, 1050, Shape::DataBox, "", false, true},
      {102, 1056, Shape::DataBox, "", false, true},
      {102, 1021, Shape::EchoBox, "", false, true},
      {102, 1022, Shape::EchoBox, "", false, true},
      {102, 1062, Shape::Button, "轮询地址", false, true},
      {102, 1063, Shape::Button, "运行", false, true},
      {102, 1007, Shape::Button, "更改子机地址", false, true},
      {102, 1004, Shape::Button, "通讯设置", false, true},
      {102, 1006, Shape::Button, "仪表设置", false, true},
      {102, IDCANCEL, Shape::Button, "退  出", false, true},
      {102, 1091, Shape::Button, "刷新Urg值", true, false},
      {102, 1009, Shape::Button, "修改精度", true, false},
      {102, 1064, Shape::DataBox, "", false, true},
      {102, 1077, Shape::DataBox, "", false, true},
      {130, IDOK, Shape::DefaultButton, "确    定", false, true},
      {130, IDCANCEL, Shape::Button, "退    出", false, true},
      {130, 1009, Shape::Radio, "1200bps", false, true},
      {130, 1013, Shape::Radio, "19200bps", false, true},
      {130, 1016, Shape::Radio, "偶校验", false, true},
      {130, 1000, Shape::Entry, "", false, true},
      {131, IDOK, Shape::DefaultButton, "设置", false, true},
      {131, IDCANCEL, Shape::Button, "退出", false, true},
      {131, 1000, Shape::Entry, "", false, true},
      {131, 1001, Shape::Entry, "", false, true},
      {131, 1009, Shape::Radio, "3相4线(非平衡)", false, true},
      {131, 1014, Shape::Radio, "3相4线(平衡)", false, true},
      {146, IDOK, Shape::DefaultButton, "OK", false, true},
      {146, IDCANCEL, Shape::Button, "Cancel", false, true},
      {146, 1000, Shape::Entry, "", false, true},
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
  const int statusIds[] = {1064, 1065, 1072, 1073, 1074, 1075, 1076, 1077, 1100, 1101, 1102, 1103};
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

}  // namespace
}  // namespace kt::ui::qt::test
