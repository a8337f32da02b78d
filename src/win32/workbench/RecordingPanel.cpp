// The recording's controls; the recorder itself writes each row as its block is decoded.
#include "win32/workbench/RecordingPanel.h"

#include <array>
#include <chrono>

#include "win32/workbench/CopyMenu.h"
#include "win32/workbench/SaveDialog.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr UINT_PTR kElapsedTimer = 1;
constexpr auto kElapsedPeriodMs = static_cast<UINT>(workbench::kRecordingRefreshPeriod.count());
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kMarginAt96 = 8;
constexpr int kButtonWidthAt96 = 96;
constexpr int kButtonHeightAt96 = 24;

}  // namespace

void RecordingPanel::Populate() {
  Add(WC_BUTTONW, workbench::kStartRecordingText, WS_TABSTOP | BS_PUSHBUTTON,
      ids::kStartRecordingButton);
  Add(WC_BUTTONW, workbench::kStopRecordingText, WS_TABSTOP | BS_PUSHBUTTON,
      ids::kStopRecordingButton);
  const std::array<int, 3> labels = {ids::kRecordFileLabel, ids::kRecordRowsLabel,
                                     ids::kRecordElapsedLabel};
  for (size_t i = 0; i < labels.size(); ++i) {
    Add(WC_STATICW, workbench::kRecordingFacts[i], SS_LEFT, labels[i]);
  }
  // Selectable, as on Linux, with the same right-click menu.
  UseCopyMenu(Add(WC_EDITW, "", ES_READONLY | ES_AUTOHSCROLL, ids::kRecordFile));
  Add(WC_STATICW, "", SS_LEFT, ids::kRecordRows);
  Add(WC_STATICW, "", SS_LEFT, ids::kRecordElapsed);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kRecordMessage);
  MarkRed(ids::kRecordMessage);
  SetTimer(Handle(), kElapsedTimer, kElapsedPeriodMs, nullptr);
  Refresh();
}

void RecordingPanel::Layout(int width, int /*height*/) {
  const int kMargin = Px(kMarginAt96);
  const int kButtonWidth = Px(kButtonWidthAt96);
  const int kButtonHeight = Px(kButtonHeightAt96);
  const int line = LineHeight() + Px(4);
  Place(ids::kStartRecordingButton, kMargin, kMargin, kButtonWidth, kButtonHeight);
  Place(ids::kStopRecordingButton, 2 * kMargin + kButtonWidth, kMargin, kButtonWidth,
        kButtonHeight);
  int labelWidth = 0;
  for (const char* label : workbench::kRecordingFacts) {
    labelWidth = std::max(labelWidth, TextWidth(label));
  }
  const int valueLeft = kMargin + labelWidth + kMargin;
  const int valueWidth = std::max(0, width - valueLeft - kMargin);
  int y = 2 * kMargin + kButtonHeight;
  for (const auto& [label, value] : {std::pair{ids::kRecordFileLabel, ids::kRecordFile},
                                     std::pair{ids::kRecordRowsLabel, ids::kRecordRows},
                                     std::pair{ids::kRecordElapsedLabel, ids::kRecordElapsed}}) {
    Place(label, kMargin, y, labelWidth, line);
    Place(value, valueLeft, y, valueWidth, line);
    y += line + kMargin / 2;
  }
  Place(ids::kRecordMessage, kMargin, y + kMargin, width - 2 * kMargin, 3 * line);
}

void RecordingPanel::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == ids::kStartRecordingButton) AskAndStart();
  if (id == ids::kStopRecordingButton) StopRecording();
}

void RecordingPanel::OnTimer(UINT_PTR timerId) {
  if (timerId == kElapsedTimer && recording_.Recording() && IsWindowVisible(Handle()) != 0) {
    recording_.UpdateElapsed(std::chrono::steady_clock::now());
    Refresh();
  }
}

std::string RecordingPanel::StartRecording(const std::string& path) {
  std::string refusal = recording_.Start(path);
  Refresh();
  return refusal;
}

void RecordingPanel::StopRecording() {
  recording_.Stop();
  Refresh();
}

void RecordingPanel::Refresh() {
  const bool on = recording_.Recording();
  SetEnabled(Item(ids::kStartRecordingButton), !on);
  SetEnabled(Item(ids::kStopRecordingButton), on);
  SetText(ids::kRecordFile, recording_.Path());
  SetText(ids::kRecordRows, recording_.RowsText());
  SetText(ids::kRecordElapsed, recording_.ElapsedText());
  SetText(ids::kRecordMessage, recording_.Message());
}

void RecordingPanel::AskAndStart() {
  const std::string path =
      AskSavePath(Handle(), workbench::RecordingQuestion(std::chrono::system_clock::now()));
  if (!path.empty()) StartRecording(path);
}

}  // namespace kt::ui::win32
