#pragma once
// Plain value types shared by the media platform interfaces.
#include <cstdint>

#include "platform/WindowMessages.h"

class QWidget;
class QImage;

namespace media {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONG_PTR = std::intptr_t;
using LCID = std::uint32_t;
// 0x00BBGGRR, as the platform's colour values.
using COLORREF = std::uint32_t;
// 100-nanosecond units.
using REFERENCE_TIME = std::int64_t;

// A widget window that renderers and dialogs attach to (owner, message drain,
// clipping window, dialog parent); nullptr is no window. Hidden message
// windows are platform::HWND instead.
using OAHWND = QWidget*;
// A memory drawing context: the picture an overlay is drawn on.
using HDC = const QImage*;

// The platform's automation Booleans.
inline constexpr LONG OATRUE = -1;
inline constexpr LONG OAFALSE = 0;

struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

// Coordinates relative to the video area, 0.0 to 1.0.
struct NORMALIZEDRECT {
  float left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const NORMALIZEDRECT&, const NORMALIZEDRECT&) = default;
};

struct SIZE {
  LONG cx = 0, cy = 0;
};

}  // namespace media
