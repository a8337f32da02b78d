// QRect in, QRect out: the placement itself is the core's.
#include "qt/workbench/WindowPlacement.h"

namespace kt::ui::qt {
namespace {

workbench::ScreenRect Plain(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

QRect FromPlain(const workbench::ScreenRect& r) {
  return {r.x, r.y, r.width, r.height};
}

WindowPlacement FromPlain(const workbench::WindowPlacement& p) {
  return {FromPlain(p.window), FromPlain(p.mainDialog)};
}

}  // namespace

WindowPlacement PlaceBesideMain(const QRect& available, const QRect& mainDialog,
                                const QSize& wanted, const QSize& minimum) {
  return FromPlain(workbench::PlaceBesideMain(Plain(available), Plain(mainDialog),
                                              {wanted.width(), wanted.height()},
                                              {minimum.width(), minimum.height()}));
}

WindowPlacement PlaceRemembered(const QRect& available, const QRect& mainDialog,
                                const QRect& remembered, const QSize& minimum) {
  return FromPlain(workbench::PlaceRemembered(
      Plain(available), Plain(mainDialog), Plain(remembered), {minimum.width(), minimum.height()}));
}

}  // namespace kt::ui::qt
