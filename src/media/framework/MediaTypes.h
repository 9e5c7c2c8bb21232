#pragma once
// The platform's media type record and the video format block it carries.
#include <cstdint>

#include "media/framework/Guid.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

// A media type. The format block (pbFormat, cbFormat bytes) is allocated with
// CoTaskMemAlloc and belongs to the record: copying the record itself shares
// the block, so records are copied with CopyMediaTypeRecord and released with
// FreeMediaTypeRecord. Its stored form is 72 bytes, then the format block.
struct AM_MEDIA_TYPE {
  GUID majortype;
  GUID subtype;
  std::int32_t bFixedSizeSamples = 0;     // Boolean: all bits set for True
  std::int32_t bTemporalCompression = 0;  // Boolean
  std::uint32_t lSampleSize = 0;
  GUID formattype;
  UnknownPtr pUnk;
  std::uint32_t cbFormat = 0;
  std::uint8_t* pbFormat = nullptr;
};

inline constexpr std::size_t kMediaTypeRecordSize = 72;

struct BITMAPINFOHEADER {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // positive: bottom-up rows
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// The format block of FORMAT_VideoInfo.
struct VIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  std::uint32_t dwBitRate = 0;
  std::uint32_t dwBitErrorRate = 0;
  REFERENCE_TIME AvgTimePerFrame = 0;
  BITMAPINFOHEADER bmiHeader;
};

}  // namespace media
