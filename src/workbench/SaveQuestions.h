// What each of the workbench's save dialogs asks: its title, the suggested file name, the file
// type and whether it asks before overwriting. The front ends show them in their own dialogs.
#pragma once

#include <chrono>
#include <string>

namespace kt::workbench {

struct SaveQuestion {
  std::string title;          // "保存报文"
  std::string suggestedName;  // "kt7340-20260102-043124.csv", in the user's folder
  std::string typeName;       // "CSV 文件 (*.csv)"
  std::string extension;      // "csv", added to a name chosen without one
  // A recording never empties a file, so its dialog does not ask about overwriting.
  bool asksBeforeOverwriting = true;
  // A picture or a report always ends with its own extension; the log and a recording keep any
  // extension typed.
  bool alwaysOwnExtension = false;
};

// "20260102-043124": the local time `t`, for suggested file names.
std::string FileStamp(std::chrono::system_clock::time_point t);

// "开始记录…": kt7340-<stamp>.csv.
SaveQuestion RecordingQuestion(std::chrono::system_clock::time_point now);
// The log's "保存…": kt7340-报文-<stamp>.txt.
SaveQuestion LogSaveQuestion(std::chrono::system_clock::time_point now);
// "导出图片…": 趋势-<stamp>.png.
SaveQuestion ExportQuestion(std::chrono::system_clock::time_point now);

// The folder a save dialog opens in: the one last saved to while it still is a folder, else ""
// (the user's own).
std::string ExistingFolder(const std::string& folder);
// The path chosen for a picture or a report, with the question's extension added unless the name
// already ends with it, in any case ("趋势.PNG" stays, "趋势.jpg" becomes "趋势.jpg.png").
std::string WithExtension(const SaveQuestion& question, std::string path);
// The path chosen for the log or a recording, with the question's extension added when the name
// has none ("报文" becomes "报文.txt", "报文.log" stays).
std::string WithDefaultExtension(const SaveQuestion& question, std::string path);
// The path saved to for the name the user chose: WithExtension or WithDefaultExtension, as the
// question says.
std::string CompletedPath(const SaveQuestion& question, const std::string& chosen);
// Whether the user is asked again before `completed` is written: the dialog asked about the name
// chosen, but the extension added to it names another file, and that one exists.
bool AsksAgainBeforeOverwriting(const SaveQuestion& question, const std::string& chosen,
                                const std::string& completed);
// That question: "文件已存在：<path>" and whether to replace it.
std::string OverwriteQuestionText(const std::string& path);
// The folder of a path saved to, remembered for the next save dialog.
std::string FolderOf(const std::string& path);

// The refusal shown when a picture cannot be written.
std::string ExportFailureText(const std::string& path);

}  // namespace kt::workbench
