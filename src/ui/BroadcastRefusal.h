// What the monitor says when it is to talk to the broadcast address, where no meter answers.
#pragma once

namespace kt::ui {

inline constexpr const char* kBroadcastRefusal =
    "子机地址为0（广播地址），仪表不会应答。请先输入仪表的子机地址。";

}  // namespace kt::ui
