// Control identifiers of the slave address dialog.
#pragma once

namespace kt::ui::addr_ids {

inline constexpr int kTemplateId = 146;

inline constexpr int kNewAddressEdit = 1000;

}  // namespace kt::ui::addr_ids
