#include "AsfSamples.h"

#include "media/gst/net/AsfGuids.h"
#include "media/gst/net/LittleEndian.h"

namespace media::net::test {
namespace {

void appendGuid(Bytes& out, const AsfGuid& g) { out.insert(out.end(), g.begin(), g.end()); }

void appendFileProperties(Bytes& out, const SampleHeader& s) {
  appendGuid(out, kAsfFilePropertiesObject);
  appendLE(out, 8, 104);
  for (int i = 0; i < 16; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i));  // file id
  appendLE(out, 8, s.fileSize);
  appendLE(out, 8, 0x01D0000000000000);  // creation date
  appendLE(out, 8, s.dataPackets);
  appendLE(out, 8, s.playDuration);
  appendLE(out, 8, s.sendDuration);
  appendLE(out, 8, s.preroll);
  appendLE(out, 4, s.flags);
  appendLE(out, 4, s.minPacketSize);
  appendLE(out, 4, s.maxPacketSize);
  appendLE(out, 4, 56000);
}

void appendStreamProperties(Bytes& out, const SampleStream& stream) {
  appendGuid(out, kAsfStreamPropertiesObject);
  appendLE(out, 8, 78 + 4);
  appendGuid(out, stream.video ? kAsfVideoMedia : kAsfAudioMedia);
  for (int i = 0; i < 16; ++i) out.push_back(0);  // error correction type
  appendLE(out, 8, 0);                            // time offset
  appendLE(out, 4, 4);                            // type-specific data
  appendLE(out, 4, 0);
  appendLE(out, 2, stream.number);
  appendLE(out, 4, 0);
  appendLE(out, 4, 0xDEADBEEF);
}

}  // namespace

Bytes makeHeader(const SampleHeader& shape) {
  Bytes objects;
  appendFileProperties(objects, shape);
  for (const auto& stream : shape.streams) appendStreamProperties(objects, stream);
  Bytes out;
  appendGuid(out, kAsfHeaderObject);
  appendLE(out, 8, 30 + objects.size());
  appendLE(out, 4, 1 + shape.streams.size());
  out.push_back(1);
  out.push_back(2);
  out.insert(out.end(), objects.begin(), objects.end());
  appendGuid(out, kAsfDataObject);
  appendLE(out, 8, shape.dataObjectSize);
  for (int i = 0; i < 16; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i));
  appendLE(out, 8, shape.dataPackets);
  appendLE(out, 2, 0x0101);
  return out;
}

Bytes makePacket(const SamplePacket& shape) {
  const bool multiple = shape.payloads.size() > 1;
  Bytes out;
  if (shape.errorCorrection) out.insert(out.end(), {0x82, 0x00, 0x00});
  out.push_back(static_cast<std::uint8_t>(0x50 | (multiple ? 1 : 0)));  // WORD length and padding
  out.push_back(0x5D);  // BYTE stream, BYTE object, DWORD offset, BYTE replicated length
  const std::size_t lengthAt = out.size();
  appendLE(out, 2, shape.packetSize);
  appendLE(out, 2, 0);  // padding, patched below
  appendLE(out, 4, shape.sendTime);
  appendLE(out, 2, 0);
  if (multiple) out.push_back(static_cast<std::uint8_t>(0x80 | shape.payloads.size()));
  std::uint8_t object = 0;
  for (const auto& p : shape.payloads) {
    out.push_back(static_cast<std::uint8_t>(p.stream | (p.key ? 0x80 : 0)));
    out.push_back(object++);
    appendLE(out, 4, p.compressed ? shape.sendTime + 5000 : p.objectOffset);
    if (p.compressed) {
      out.push_back(1);
      out.push_back(33);
    } else {
      out.push_back(8);
      appendLE(out, 4, p.length + p.objectOffset);
      appendLE(out, 4, shape.sendTime + 5000);
    }
    if (multiple) appendLE(out, 2, p.length);
    out.insert(out.end(), p.length, 0x5A);
  }
  const std::size_t padding = shape.packetSize > out.size() ? shape.packetSize - out.size() : 0;
  writeLE(out.data() + lengthAt + 2, 2, padding);
  out.insert(out.end(), padding, 0);
  return out;
}

std::uint64_t readField(const Bytes& bytes, std::size_t at, std::size_t width) {
  return readLE(bytes.data() + at, width);
}

std::uint32_t sendTimeOf(const Bytes& packet) {
  const std::size_t at = (packet[0] & 0x80) ? 3 : 0;
  return static_cast<std::uint32_t>(readLE(packet.data() + at + 6, 4));
}

}  // namespace media::net::test
