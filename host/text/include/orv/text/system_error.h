// System errors (errno values) in a few Chinese words, for the messages the host shows.
#pragma once

#include <string>

namespace orv::text {

// What an errno value means to the user: "没有权限", "磁盘空间不足", ... A value
// the table does not know is "系统错误 N" (never the C library's English text).
std::string describeSystemError(int error);

}  // namespace orv::text
