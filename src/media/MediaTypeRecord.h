#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "media/framework/MediaTypes.h"

namespace media {

// Copies source into destination (two different records): the fields, a new
// copy of the format block (cbFormat 0 and no block when that allocation
// fails) and one more reference to pUnk. destination's previous block is not
// freed: it must be empty or freed before.
void CopyMediaTypeRecord(AM_MEDIA_TYPE& destination, const AM_MEDIA_TYPE& source);

// Frees the format block (cbFormat 0, pbFormat nil) and releases pUnk.
void FreeMediaTypeRecord(AM_MEDIA_TYPE& record);

// The 72-byte stored form, little-endian. The two reference fields are
// written as the low 32 bits of their addresses; they mean nothing when read.
void WriteMediaTypeRecord(const AM_MEDIA_TYPE& record, std::vector<std::uint8_t>& out);
// Reads the fields of the 72 bytes at `stored` (which must hold that many);
// pUnk and pbFormat come back nil, cbFormat as stored.
AM_MEDIA_TYPE ReadMediaTypeRecord(std::span<const std::uint8_t, kMediaTypeRecordSize> stored);

}  // namespace media
