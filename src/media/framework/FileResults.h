#pragma once
// The results a file writer reports when its file cannot be created or
// written (EC_ERROR_STILLPLAYING's Param1), from the system's error number.
#include <cerrno>
#include <cstdint>

#include "media/framework/Result.h"

namespace media {

inline constexpr std::uint32_t ERROR_WRITE_PROTECT = 19;
inline constexpr std::uint32_t ERROR_WRITE_FAULT = 29;
inline constexpr HRESULT STG_E_MEDIUMFULL = MakeResult(0x80030070);

// ENOENT stands for a file or folder deleted while it was written; a folder
// missing when the file is made is ERROR_PATH_NOT_FOUND (the caller knows).
constexpr HRESULT ResultOfFileError(int error, bool creating) {
  switch (error) {
    case 0: return S_OK;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return STG_E_MEDIUMFULL;
    case ENOENT:
    case ENOTDIR: return HRESULT_FROM_WIN32(creating ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    case EACCES:
    case EPERM: return E_ACCESSDENIED;
    case EROFS: return HRESULT_FROM_WIN32(ERROR_WRITE_PROTECT);
    default: return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
  }
}

}  // namespace media
