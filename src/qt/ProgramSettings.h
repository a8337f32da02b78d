// Where the program keeps its settings (QSettings): its own organisation and application names,
// and the settings an earlier version kept under Qt's stand-in organisation.
#pragma once

class QSettings;

namespace kt::ui::qt {

// Names the program for QSettings (~/.config/KT7340/KT7340.conf) and, the first time, copies
// the settings kept before the program had an organisation name.
void SetUpProgramSettings();

// Copies every key of `old` into `current` when `current` has none yet, so that an earlier
// version's settings are read once and a later change is never overwritten by them. Returns
// whether anything was copied.
bool TakeOverOldSettings(QSettings& current, const QSettings& old);

}  // namespace kt::ui::qt
