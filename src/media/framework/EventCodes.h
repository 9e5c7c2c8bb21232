#pragma once
// Platform graph event codes (IMediaEventEx::GetEvent). Listeners and the
// graph's event table compare against these numbers.
//
// Parameters are integers unless said here; what they point to stays valid
// until FreeEventParams for that event:
// - an object (EC_COMPLETE and EC_FULLSCREEN_LOST Param2, EC_DEVICE_LOST,
//   EC_STREAM_CONTROL_* and EC_TIMECODE_AVAILABLE Param1) is an IUnknown*,
//   0 for none;
// - EC_OLE_EVENT's two strings are NUL-terminated const char16_t*;
// - EC_END_OF_SEGMENT Param1 points to a REFERENCE_TIME;
// - EC_ERRORABORT, EC_ERROR_STILLPLAYING and EC_PAUSED Param1 is an HRESULT.
#include <cstdint>

namespace media {

inline constexpr std::int32_t EC_COMPLETE = 1;
inline constexpr std::int32_t EC_USERABORT = 2;
inline constexpr std::int32_t EC_ERRORABORT = 3;
inline constexpr std::int32_t EC_STREAM_ERROR_STOPPED = 6;
inline constexpr std::int32_t EC_STREAM_ERROR_STILLPLAYING = 7;
inline constexpr std::int32_t EC_ERROR_STILLPLAYING = 8;
inline constexpr std::int32_t EC_PALETTE_CHANGED = 9;
inline constexpr std::int32_t EC_VIDEO_SIZE_CHANGED = 10;
inline constexpr std::int32_t EC_QUALITY_CHANGE = 11;
inline constexpr std::int32_t EC_CLOCK_CHANGED = 13;
inline constexpr std::int32_t EC_PAUSED = 14;
inline constexpr std::int32_t EC_OPENING_FILE = 16;
inline constexpr std::int32_t EC_BUFFERING_DATA = 17;
inline constexpr std::int32_t EC_FULLSCREEN_LOST = 18;
inline constexpr std::int32_t EC_OLE_EVENT = 24;
inline constexpr std::int32_t EC_STREAM_CONTROL_STOPPED = 26;
inline constexpr std::int32_t EC_STREAM_CONTROL_STARTED = 27;
inline constexpr std::int32_t EC_END_OF_SEGMENT = 28;
inline constexpr std::int32_t EC_DEVICE_LOST = 31;
inline constexpr std::int32_t EC_STEP_COMPLETE = 36;
inline constexpr std::int32_t EC_TIMECODE_AVAILABLE = 48;
inline constexpr std::int32_t EC_EXTDEVICE_MODE_CHANGE = 49;
inline constexpr std::int32_t EC_GRAPH_CHANGED = 80;
inline constexpr std::int32_t EC_CLOCK_UNSET = 81;
inline constexpr std::int32_t EC_VMR_RENDERDEVICE_SET = 83;
inline constexpr std::int32_t EC_SNDDEV_IN_ERROR = 512;
inline constexpr std::int32_t EC_SNDDEV_OUT_ERROR = 513;

inline constexpr std::int32_t EC_DVD_DOMAIN_CHANGE = 257;
inline constexpr std::int32_t EC_DVD_TITLE_CHANGE = 258;
inline constexpr std::int32_t EC_DVD_CHAPTER_START = 259;
inline constexpr std::int32_t EC_DVD_AUDIO_STREAM_CHANGE = 260;
inline constexpr std::int32_t EC_DVD_SUBPICTURE_STREAM_CHANGE = 261;
inline constexpr std::int32_t EC_DVD_ANGLE_CHANGE = 262;
inline constexpr std::int32_t EC_DVD_BUTTON_CHANGE = 263;
inline constexpr std::int32_t EC_DVD_VALID_UOPS_CHANGE = 264;
inline constexpr std::int32_t EC_DVD_STILL_ON = 265;
inline constexpr std::int32_t EC_DVD_STILL_OFF = 266;
inline constexpr std::int32_t EC_DVD_CURRENT_TIME = 267;
inline constexpr std::int32_t EC_DVD_ERROR = 268;
inline constexpr std::int32_t EC_DVD_WARNING = 269;
inline constexpr std::int32_t EC_DVD_CHAPTER_AUTOSTOP = 270;
inline constexpr std::int32_t EC_DVD_NO_FP_PGC = 271;
inline constexpr std::int32_t EC_DVD_PLAYBACK_RATE_CHANGE = 272;
inline constexpr std::int32_t EC_DVD_PARENTAL_LEVEL_CHANGE = 273;
inline constexpr std::int32_t EC_DVD_PLAYBACK_STOPPED = 274;
inline constexpr std::int32_t EC_DVD_ANGLES_AVAILABLE = 275;
inline constexpr std::int32_t EC_DVD_PLAYPERIOD_AUTOSTOP = 276;
inline constexpr std::int32_t EC_DVD_BUTTON_AUTO_ACTIVATED = 277;
inline constexpr std::int32_t EC_DVD_CMD_START = 278;
inline constexpr std::int32_t EC_DVD_CMD_END = 279;
inline constexpr std::int32_t EC_DVD_DISC_EJECTED = 280;
inline constexpr std::int32_t EC_DVD_DISC_INSERTED = 281;
inline constexpr std::int32_t EC_DVD_CURRENT_HMSF_TIME = 282;
inline constexpr std::int32_t EC_DVD_KARAOKE_MODE = 283;

}  // namespace media
