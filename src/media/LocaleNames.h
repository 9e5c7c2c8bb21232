#pragma once
#include <string>

#include "media/framework/Types.h"

namespace media {

// The English name of a locale's language (by its primary language, the low
// ten bits), at most 260 characters; empty for one this system does not know.
std::string LocaleEnglishLanguageName(LCID locale);

}  // namespace media
