// Basic types shared by every header of the orvcad SDK.
#pragma once

#include <cstddef>
#include <cstdint>

// Text at the SDK boundary is wide: one wchar_t per character (UTF-32 on this platform).
typedef wchar_t ACHAR;

// Symbols that a module resolves in the host, or that the host looks up in a module.
#define ORV_SDK_API __attribute__((visibility("default")))
#define ORV_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace Adesk {
using Int8 = std::int8_t;
using Int16 = std::int16_t;
using Int32 = std::int32_t;
using Int64 = std::int64_t;
using UInt8 = std::uint8_t;
using UInt16 = std::uint16_t;
using UInt32 = std::uint32_t;
using UInt64 = std::uint64_t;
using LongPtr = std::intptr_t;
using IntPtr = std::intptr_t;
using Boolean = bool;
constexpr Boolean kFalse = false;
constexpr Boolean kTrue = true;
}  // namespace Adesk

// A loaded module as the host knows it. Opaque to modules.
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
