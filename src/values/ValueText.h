// Decoded values as decimal text with the decimals their register's resolution gives, for files
// and logs: "50.01945977" for what a double prints as 50.019459770000005.
#pragma once

#include <string>

#include "values/MeasuredBlock.h"

namespace kt::values {

// `value` rounded to `decimals` places; a zero is never written with a minus sign.
std::string DecimalText(double value, int decimals);
// The block's value of `q` with the decimals of its register.
std::string ValueText(const MeasuredBlock& block, Quantity q);

}  // namespace kt::values
