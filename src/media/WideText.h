#pragma once
#include <QString>
#include <string>

namespace media {

// A UTF-8 text of the components as the UTF-16 text the platform objects take.
inline std::u16string Wide(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }

}  // namespace media
