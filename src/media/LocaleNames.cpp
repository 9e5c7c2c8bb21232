#include "media/LocaleNames.h"

#include <map>

namespace media {

std::string LocaleEnglishLanguageName(LCID locale) {
  static const std::map<LCID, const char*> names = {
      {0x01, "Arabic"},  {0x04, "Chinese"},    {0x05, "Czech"},   {0x06, "Danish"},   {0x07, "German"},
      {0x08, "Greek"},   {0x09, "English"},    {0x0A, "Spanish"}, {0x0B, "Finnish"},  {0x0C, "French"},
      {0x0D, "Hebrew"},  {0x0E, "Hungarian"},  {0x10, "Italian"}, {0x11, "Japanese"}, {0x12, "Korean"},
      {0x13, "Dutch"},   {0x14, "Norwegian"},  {0x15, "Polish"},  {0x16, "Portuguese"}, {0x19, "Russian"},
      {0x1D, "Swedish"}, {0x1E, "Thai"},       {0x1F, "Turkish"},
  };
  auto it = names.find(locale & 0x3FF);
  return it == names.end() ? std::string() : std::string(it->second);
}

}  // namespace media
