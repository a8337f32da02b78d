// Where the workbench window goes next to the main dialog, in Qt's rectangles: the core's
// arithmetic (workbench/WindowPlacement.h) behind QRect and QSize.
#pragma once

#include <QRect>
#include <QSize>

#include "workbench/WindowPlacement.h"

namespace kt::ui::qt {

using workbench::kPlacementGapPx;

struct WindowPlacement {
  QRect window;      // the workbench's frame
  QRect mainDialog;  // the main dialog's frame: as given, or moved aside to make room
};

// See workbench::PlaceBesideMain and workbench::PlaceRemembered.
WindowPlacement PlaceBesideMain(const QRect& available, const QRect& mainDialog,
                                const QSize& wanted, const QSize& minimum);
WindowPlacement PlaceRemembered(const QRect& available, const QRect& mainDialog,
                                const QRect& remembered, const QSize& minimum);

}  // namespace kt::ui::qt
