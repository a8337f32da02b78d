#include "qt/workbench/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace kt::ui::qt {

std::string AskSavePath(QWidget* parent, const workbench::SaveQuestion& question,
                        const std::string& folder) {
  const QString start = folder.empty() ? QDir::homePath() : QString::fromStdString(folder);
  const QString title = QString::fromStdString(question.title);
  const std::string chosen =
      QFileDialog::getSaveFileName(
          parent, title, QDir(start).filePath(QString::fromStdString(question.suggestedName)),
          QString::fromStdString(question.typeName), nullptr,
          question.asksBeforeOverwriting ? QFileDialog::Options()
                                         : QFileDialog::DontConfirmOverwrite)
          .toStdString();
  if (chosen.empty()) return {};
  std::string completed = workbench::CompletedPath(question, chosen);
  if (workbench::AsksAgainBeforeOverwriting(question, chosen, completed) &&
      QMessageBox::warning(
          parent, title, QString::fromStdString(workbench::OverwriteQuestionText(completed)),
          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
    return {};
  }
  return completed;
}

}  // namespace kt::ui::qt
