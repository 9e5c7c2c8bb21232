#pragma once
#include <cstdint>

#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

enum STREAM_SEEK : DWORD { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

// A byte stream that persistent objects save themselves into and load from.
// Read answers S_OK with fewer bytes than asked at the end (read tells how
// many); readers that need an exact count check it.
class IStream : public virtual IUnknown {
 public:
  virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
  virtual HRESULT Write(const void* buffer, ULONG count, ULONG* written) = 0;
  virtual HRESULT Seek(std::int64_t move, STREAM_SEEK origin, std::uint64_t* newPosition) = 0;
  // Total length in bytes.
  virtual HRESULT GetSize(std::uint64_t& size) = 0;
};

}  // namespace media
