// The limit status items in words.
#include "values/LimitStatus.h"

namespace kt::values {

const char* StatusText(bool isCurrent, int code) {
  if (code == 1) return isCurrent ? "欠流" : "欠压";
  if (code == 2) return isCurrent ? "过流" : "过压";
  return "正常";
}

}  // namespace kt::values
