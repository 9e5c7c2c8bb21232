#pragma once
// Conversions between the platform's UTF-16 names and GStreamer's UTF-8.
#include <QString>

#include <string>
#include <string_view>

namespace media::gst {

inline std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

inline std::u16string Utf16(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

}  // namespace media::gst
