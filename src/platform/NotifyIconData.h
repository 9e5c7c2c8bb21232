#pragma once
// The record and codes of the notification-area call (Shell::NotifyIcon).
// Components fill one record per icon and hand it over on every call; the
// shell copies what it needs, so the record and the icon may change afterwards.
#include <cstdint>

#include "platform/WindowMessages.h"

class QIcon;

namespace platform {

// An icon handle: the icon the caller owns; the shell copies the image on
// each add or modify. nullptr is no image.
using HICON = const QIcon*;

inline constexpr UINT NIM_ADD = 0;
inline constexpr UINT NIM_MODIFY = 1;
inline constexpr UINT NIM_DELETE = 2;
inline constexpr UINT NIM_SETVERSION = 4;

inline constexpr UINT NIF_MESSAGE = 0x01;
inline constexpr UINT NIF_ICON = 0x02;
inline constexpr UINT NIF_TIP = 0x04;
inline constexpr UINT NIF_INFO = 0x10;

// dwInfoFlags: the balloon's icon.
inline constexpr std::uint32_t NIIF_NONE = 0;
inline constexpr std::uint32_t NIIF_INFO = 1;
inline constexpr std::uint32_t NIIF_WARNING = 2;
inline constexpr std::uint32_t NIIF_ERROR = 3;

// The size components put into cbSize: the 8-bit-character layout with
// balloon fields. The shell does not look at it.
inline constexpr std::uint32_t kNotifyIconDataSize = 488;

// Texts are 8-bit (UTF-8 here) and zero-terminated inside their field.
// uID is pointer-sized: components use their own address as identifier, and
// the callback message carries it back unchanged as wParam.
struct NOTIFYICONDATA {
  std::uint32_t cbSize = 0;
  HWND hWnd = 0;
  WPARAM uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[128] = {};
  std::uint32_t dwState = 0;
  std::uint32_t dwStateMask = 0;
  char szInfo[256] = {};
  // The balloon's time-out in milliseconds for NIM_MODIFY with NIF_INFO; the
  // version of the callback protocol for NIM_SETVERSION (0: classic mouse
  // messages, the only one the shells here send).
  union {
    UINT uTimeout;
    UINT uVersion = 0;
  };
  char szInfoTitle[64] = {};
  std::uint32_t dwInfoFlags = 0;
};

}  // namespace platform
