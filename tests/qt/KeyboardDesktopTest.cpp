// Keyboard and desktop: the port list picked with a click and the arrow keys, Qt's own texts in
// Chinese, the wiring table's rows selected, copied and readable in full.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QTest>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "MeasuredBlocks.h"
#include "qt/QtTranslations.h"
#include "qt/QtWindowHost.h"
#include "qt/workbench/WiringTab.h"
#include "ui/CCommSetDlg.h"
#include "ui/CommSetDialogIds.h"
#include "workbench/WiringCheck.h"

namespace kt::ui::qt::test {
namespace {

// The port list of the communication settings dialog as a user sees it, a line picked with a
// click or the arrow keys.
TEST(PortListKeys, ArrowsFillThePortBoxAsAClickDoesAndEnterOpensThatPort) {
  QtWindowHost host;
  CCommSetDlg d(host, [] {
    return std::vector<serial::PortInfo>{{"ttyUSB0", "/dev/ttyUSB0", "FTDI FT232R USB UART"},
                                         {"ttyUSB1", "/dev/ttyUSB1", "CH340"},
                                         {"ttyACM0", "/dev/ttyACM0", "cdc_acm"}};
  });
  d.m_baudRate = 9600;
  d.m_portNumber = 7;
  QStringList lines;
  std::vector<std::string> seen;
  UserStep(d, [&] {
    QWidget* w = host.WindowOf(d);
    auto* list = ControlIn<QListWidget>(w, comm_set_ids::kPortList);
    auto* box = ControlIn<QLineEdit>(w, comm_set_ids::kPortEdit);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    list->setFocus();
    const auto press = [&](Qt::Key key) {
      QTest::keyClick(list, key);
      seen.push_back(box->text().toStdString());
    };
    press(Qt::Key_Down);  // onto the first line
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    seen.push_back(box->text().toStdString());
    press(Qt::Key_Down);
    press(Qt::Key_Down);  // past the last line: no move, no pick
    press(Qt::Key_Up);
    press(Qt::Key_Home);
    box->setText(QStringLiteral("5"));
    press(Qt::Key_Up);  // above the first line: the typed number stays
    press(Qt::Key_End);
    QTest::keyClick(list, Qt::Key_Return);
  });
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(lines, (QStringList{"COM1  /dev/ttyUSB0  FTDI FT232R USB UART",
                                "COM2  /dev/ttyUSB1  CH340", "COM3  /dev/ttyACM0  cdc_acm"}));
  EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3", "3", "2", "1", "5", "3"}));
  EXPECT_EQ(d.m_portNumber, 3);
}

// Removes the translator again, so that other tests see Qt's English texts.
struct InstalledTranslation {
  explicit InstalledTranslation(const QLocale& locale)
      : translator(InstallQtTranslations(*QCoreApplication::instance(), locale)) {}
  ~InstalledTranslation() {
    if (translator != nullptr) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
  InstalledTranslation(const InstalledTranslation&) = delete;
  InstalledTranslation& operator=(const InstalledTranslation&) = delete;
  QTranslator* translator;
};

TEST(QtTranslations, ChineseLocaleTurnsQtsOwnMenusAndDialogsChinese) {
  QLineEdit edit;
  const std::unique_ptr<QMenu> english(edit.createStandardContextMenu());
  ASSERT_FALSE(english->actions().isEmpty());
  {
    InstalledTranslation zh(ProgramLocale());
    ASSERT_NE(zh.translator, nullptr) << "Debian package qt6-translations-l10n";
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << a->text();
    EXPECT_TRUE(texts.join(QLatin1Char(' ')).contains(QStringLiteral("复制")))
        << texts.join(',').toStdString();
    EXPECT_TRUE(QCoreApplication::translate("QFileDialog", "File &name:")
                    .contains(QStringLiteral("文件名")));
  }
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"),
            QStringLiteral("File &name:"));
  // A language Qt has no translation for leaves its texts as they are.
  InstalledTranslation none{QLocale(QLocale::C)};
  EXPECT_EQ(none.translator, nullptr);
}

using testing::SimulatedBlocks;
const auto kStart = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000));

QString RowText(const workbench::CheckRow& row) {
  return QString::fromStdString(row.name) + QLatin1Char('\t') +
         QString::fromUtf8(workbench::VerdictText(row.verdict)) + QLatin1Char('\t') +
         QString::fromStdString(row.message) + QLatin1Char('\n');
}

TEST(WiringTable, RowsAreSelectedAndCopiedAsTextAndEachTextIsWhole) {
  SimulatedBlocks meter({"--reverse-ct", "B", "--pf", "0.5", "--ct", "20"});
  const values::MeasuredBlock block = meter.At(kStart);
  const std::vector<workbench::CheckRow> rows =
      workbench::CheckWiring(block, workbench::kWiringThresholds, 50.0);
  ASSERT_GE(rows.size(), 3u);

  WiringTab tab;
  tab.resize(620, 600);  // as in the narrowest workbench
  tab.show();
  tab.AddBlock(block);
  CopyableTable& table = tab.table();
  ASSERT_EQ(table.rowCount(), static_cast<int>(rows.size()));

  // A click selects a row, a Ctrl+click adds one; Ctrl+C copies them in table order.
  const auto click = [&](int row, Qt::KeyboardModifiers mods) {
    const QRect cell = table.visualRect(table.model()->index(row, WiringTab::kNameColumn));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, mods, cell.center());
  };
  QApplication::clipboard()->clear();
  click(2, {});
  click(0, Qt::ControlModifier);
  QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), RowText(rows[0]) + RowText(rows[2]));
  QTest::keyClick(&table, Qt::Key_A, Qt::ControlModifier);
  table.CopySelectedRows();
  QString all;
  for (const workbench::CheckRow& r : rows) all += RowText(r);
  EXPECT_EQ(QApplication::clipboard()->text(), all);

  // The whole text of each cell: in its tooltip, and the row tall enough for its wrapped lines.
  for (int r = 0; r < table.rowCount(); ++r) {
    const auto& row = rows[static_cast<size_t>(r)];
    EXPECT_EQ(table.item(r, WiringTab::kMessageColumn)->toolTip().toStdString(), row.message);
    EXPECT_EQ(table.item(r, WiringTab::kVerdictColumn)->toolTip(),
              QString::fromUtf8(workbench::VerdictText(row.verdict)));
    // The delegate wraps inside the cell less its text margins (the style's focus frame margin
    // and one pixel, each side).
    const int margin = table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table);
    const int width = table.columnWidth(WiringTab::kMessageColumn) - 2 * (margin + 1);
    const QRect needed = QFontMetrics(table.font())
                             .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap,
                                           QString::fromStdString(row.message));
    EXPECT_GE(table.rowHeight(r), needed.height()) << row.message;
  }
}

}  // namespace
}  // namespace kt::ui::qt::test
