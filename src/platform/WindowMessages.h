#pragma once
// Message numbers and parameter types of our message-window layer. The numbers
// are the classic desktop ones because components compare against them and
// hand them to each other (a tray callback carries a mouse message as lParam).
#include <cstdint>

namespace platform {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
// A window handle: a process-unique number, never reused while the process runs.
// 0 is no window.
using HWND = std::uintptr_t;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUERYENDSESSION = 0x0011;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_ENDSESSION = 0x0016;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;  // 275
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_RESTORE = 0xF120;

// WM_SHOWWINDOW's lParam: 0 when shown or hidden by a call, otherwise why.
inline constexpr LPARAM SW_PARENTCLOSING = 1;
inline constexpr LPARAM SW_PARENTOPENING = 3;

inline constexpr LPARAM NIN_BALLOONSHOW = WM_USER + 2;
inline constexpr LPARAM NIN_BALLOONHIDE = WM_USER + 3;
inline constexpr LPARAM NIN_BALLOONTIMEOUT = WM_USER + 4;
inline constexpr LPARAM NIN_BALLOONUSERCLICK = WM_USER + 5;

}  // namespace platform
