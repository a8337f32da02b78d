// The program's own icon: a meter dial drawn in code.
#pragma once

#include <QIcon>

namespace kt::ui::qt {

// The icon of the windows and of the minimised program, in the usual sizes.
QIcon MonitorIcon();

}  // namespace kt::ui::qt
