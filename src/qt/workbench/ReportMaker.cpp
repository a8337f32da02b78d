// The report of the main dialog's meter, asked for, written and opened.
#include "qt/workbench/ReportMaker.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>
#include <array>
#include <chrono>

#include "report/MeterReport.h"
#include "report/ReportDocument.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

QString SaveFileName(QWidget* parent, const workbench::SaveQuestion& question,
                     const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QString::fromStdString(question.title), suggested,
                                      QString::fromStdString(question.typeName));
}

void OpenInBrowser(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowWarning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

}  // namespace

bool AskReportTitle(QWidget* parent, report::ReportTitle& title) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("reportTitle"));
  dialog.setWindowTitle(QString::fromUtf8(workbench::kReportTitleDialogTitle));
  std::array<std::string*, 3> fields = {&title.site, &title.panel, &title.engineer};
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

QString ReportMaker::ExportFolder() const {
  const QString last = QString::fromStdString(model_.Settings().ExportFolder());
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return QDir::homePath();
}

void ReportMaker::Make(QWidget* parent) {
  if (dialog_ == nullptr) return;
  const Tell& say = tell ? tell : Tell(ShowWarning);
  const QString heading = QString::fromUtf8(workbench::kMakeReportText);
  if (!model_.Wiring().HasBlock()) return say(parent, heading, report::kNoBlockForReport);

  report::ReportTitle title = report::RememberedReportTitle(model_.Settings());
  if (!(askTitle ? askTitle : AskTitle(AskReportTitle))(parent, title)) return;
  report::RememberReportTitle(model_.Settings(), title);
  title.made = std::chrono::system_clock::now();
  const workbench::SaveQuestion question = report::ReportSaveQuestion(title);
  QString path = (askPath ? askPath : AskPath(SaveFileName))(
      parent, question,
      QDir(ExportFolder()).filePath(QString::fromStdString(question.suggestedName)));
  if (path.isEmpty()) return;
  const QString extension = QStringLiteral(".") + QString::fromStdString(question.extension);
  if (!path.endsWith(extension, Qt::CaseInsensitive)) path += extension;

  // The latest block when the file is written: polling went on while the user answered.
  const auto made = report::MakeMeterReport(model_, *dialog_, title);
  if (!made) return say(parent, heading, report::kNoBlockForReport);
  const std::string why = report::WriteReportFile(path.toStdString(), report::ReportHtml(*made));
  if (!why.empty()) return say(parent, heading, QString::fromStdString(why));
  model_.Settings().SetExportFolder(QFileInfo(path).absolutePath().toStdString());
  (open ? open : OpenFile(OpenInBrowser))(path);
}

}  // namespace kt::ui::qt
