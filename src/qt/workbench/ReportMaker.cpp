// The report's questions in Qt's dialogs.
#include "qt/workbench/ReportMaker.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>
#include <array>

#include "qt/workbench/SaveDialog.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {

bool AskReportTitle(QWidget* parent, report::ReportTitle& title) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("reportTitle"));
  dialog.setWindowTitle(QString::fromUtf8(workbench::kReportTitleDialogTitle));
  const std::array<std::string*, 3> fields = report::TitleFields(title);
  std::array<QLineEdit*, 3> edits{};
  auto* form = new QFormLayout(&dialog);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    edits[i] = new QLineEdit(QString::fromStdString(*fields[i]), &dialog);
    edits[i]->setMinimumWidth(240);
    form->addRow(QString::fromUtf8(workbench::kReportTitleLabels[i]), edits[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  for (std::size_t i = 0; i < fields.size(); ++i) *fields[i] = edits[i]->text().toStdString();
  return true;
}

ReportMaker::ReportMaker(workbench::WorkbenchModel& model, QWidget* parent) : model_(model) {
  front.askTitle = [parent](report::ReportTitle& title) { return AskReportTitle(parent, title); };
  front.askPath = [parent](const workbench::SaveQuestion& question, const std::string& folder) {
    return AskSavePath(parent, question, folder);
  };
  front.open = [](const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  };
  front.tell = [parent](const std::string& text) {
    QMessageBox::warning(parent, QString::fromUtf8(workbench::kMakeReportText),
                         QString::fromStdString(text));
  };
}

void ReportMaker::Make() {
  if (dialog_ != nullptr) report::MakeReportFile(model_, *dialog_, front);
}

}  // namespace kt::ui::qt
