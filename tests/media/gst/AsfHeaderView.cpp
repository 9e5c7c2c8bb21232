#include "media/gst/AsfHeaderView.h"

#include <algorithm>

#include "media/gst/net/LittleEndian.h"

namespace gsttest {

using media::net::readLE;

AsfHeaderView::AsfHeaderView(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {
  if (bytes_.size() < 30) return;
  size = readLE(bytes_.data() + 16, 8);
  count = readLE(bytes_.data() + 24, 4);
  for (std::size_t at = 30; at + 24 <= size && at + 24 <= bytes_.size();) {
    const std::uint64_t objectSize = readLE(bytes_.data() + at + 16, 8);
    if (objectSize < 24) break;
    order.push_back(Guid(at));
    objects_[Guid(at)] = at;
    if (Guid(at) == kHeaderExtension)
      for (std::size_t child = at + 46; child + 24 <= at + objectSize;) {
        if (Guid(child) == kExtendedStream) extended_[readLE(bytes_.data() + child + 72, 2)] = child;
        const std::uint64_t childSize = readLE(bytes_.data() + child + 16, 8);
        if (childSize < 24) break;
        child += childSize;
      }
    at += objectSize;
  }
}

AsfGuid AsfHeaderView::Guid(std::size_t at) const {
  AsfGuid guid{};
  std::copy(bytes_.begin() + at, bytes_.begin() + at + 16, guid.begin());
  return guid;
}

std::uint64_t AsfHeaderView::At(const AsfGuid& object, std::size_t field, std::size_t width) const {
  return readLE(bytes_.data() + objects_.at(object) + field, width);
}

std::uint64_t AsfHeaderView::Extended(unsigned stream, std::size_t field, std::size_t width) const {
  return readLE(bytes_.data() + extended_.at(stream) + field, width);
}

std::vector<std::string> AsfHeaderView::Codecs() const {
  std::vector<std::string> entries;
  std::size_t at = objects_.at(kCodecList) + 44;
  for (std::uint64_t n = At(kCodecList, 40, 4); n > 0; --n) {
    const auto type = readLE(bytes_.data() + at, 2);
    const auto nameLength = readLE(bytes_.data() + at + 2, 2);
    std::string name;
    for (std::size_t i = 0; i + 1 < nameLength; ++i) name += static_cast<char>(bytes_[at + 4 + 2 * i]);
    at += 4 + 2 * nameLength;
    at += 2 + 2 * readLE(bytes_.data() + at, 2);  // the description
    const auto infoLength = readLE(bytes_.data() + at, 2);
    const std::uint8_t* info = bytes_.data() + at + 2;
    const std::string shown = type == 1 ? std::string(info, info + infoLength) : std::to_string(readLE(info, 2));
    entries.push_back(std::to_string(type) + ":" + name + ":" + shown);
    at += 2 + infoLength;
  }
  return entries;
}

std::map<unsigned, std::uint32_t> AsfHeaderView::Bitrates() const {
  std::map<unsigned, std::uint32_t> rates;
  const std::size_t at = objects_.at(kStreamBitrates);
  for (std::size_t i = 0; i < At(kStreamBitrates, 24, 2); ++i)
    rates[readLE(bytes_.data() + at + 26 + 6 * i, 2) & 0x7F] =
        static_cast<std::uint32_t>(readLE(bytes_.data() + at + 28 + 6 * i, 4));
  return rates;
}

}  // namespace gsttest
