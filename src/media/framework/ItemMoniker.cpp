#include "media/framework/ItemMoniker.h"

#include <cstdint>

#include "media/framework/Identifiers.h"

namespace media {
namespace {

HRESULT WriteText(IStream& stream, const std::u16string& text) {
  std::uint8_t head[4];
  const auto n = static_cast<std::uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) head[i] = static_cast<std::uint8_t>(n >> (8 * i));
  HRESULT hr = stream.Write(head, 4, nullptr);
  for (char16_t c : text) {
    if (FAILED(hr)) break;
    const std::uint8_t unit[2] = {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)};
    hr = stream.Write(unit, 2, nullptr);
  }
  return hr;
}

// Reads at most what the stream holds: a count larger than the rest of the
// stream is refused before anything is allocated.
HRESULT ReadText(IStream& stream, std::u16string& text) {
  std::uint8_t head[4];
  ULONG read = 0;
  if (FAILED(stream.Read(head, 4, &read)) || read != 4) return STG_E_READFAULT;
  const std::uint32_t n = head[0] | head[1] << 8 | head[2] << 16 | std::uint32_t(head[3]) << 24;
  std::uint64_t size = 0, position = 0;
  if (FAILED(stream.GetSize(size)) || FAILED(stream.Seek(0, STREAM_SEEK_CUR, &position))) return STG_E_READFAULT;
  if (position > size || std::uint64_t(n) * 2 > size - position) return STG_E_READFAULT;
  text.clear();
  text.reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint8_t unit[2];
    if (FAILED(stream.Read(unit, 2, &read)) || read != 2) return STG_E_READFAULT;
    text.push_back(static_cast<char16_t>(unit[0] | unit[1] << 8));
  }
  return S_OK;
}

}  // namespace

HRESULT ItemMoniker::GetClassID(CLSID& clsid) {
  clsid = CLSID_ItemMoniker;
  return S_OK;
}

HRESULT ItemMoniker::Load(IStream& stream) {
  std::u16string delimiter, item;
  HRESULT hr = ReadText(stream, delimiter);
  if (SUCCEEDED(hr)) hr = ReadText(stream, item);
  if (FAILED(hr)) return hr;
  delimiter_ = std::move(delimiter);
  item_ = std::move(item);
  return S_OK;
}

HRESULT ItemMoniker::Save(IStream& stream, bool) {
  const HRESULT hr = WriteText(stream, delimiter_);
  return FAILED(hr) ? hr : WriteText(stream, item_);
}

HRESULT ItemMoniker::GetSizeMax(std::uint64_t& size) {
  size = 8 + 2 * (delimiter_.size() + item_.size());
  return S_OK;
}

HRESULT ItemMoniker::BindToObject(const UnknownPtr&, const MonikerPtr&, const IID&, UnknownPtr& out) {
  out.reset();
  return E_NOTIMPL;
}

HRESULT ItemMoniker::BindToStorage(const UnknownPtr&, const MonikerPtr&, const IID&, UnknownPtr& out) {
  out.reset();
  return E_NOTIMPL;
}

HRESULT ItemMoniker::IsEqual(const MonikerPtr& other) {
  auto item = std::dynamic_pointer_cast<ItemMoniker>(other);
  return item && item->delimiter_ == delimiter_ && item->item_ == item_ ? S_OK : S_FALSE;
}

HRESULT ItemMoniker::GetDisplayName(const UnknownPtr&, const MonikerPtr&, std::u16string& name) {
  name = delimiter_ + item_;
  return S_OK;
}

}  // namespace media
