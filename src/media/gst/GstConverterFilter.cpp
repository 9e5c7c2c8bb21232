#include "media/gst/GstConverterFilter.h"

#include <string_view>

#include "media/gst/GstClassIds.h"

namespace media::gst {
namespace {

struct Recipe {
  const CLSID* clsid;
  const char16_t* name;
  const char* first;
  const char* second;
  const char* media;
};

const Recipe& RecipeOf(GstConverterFilter::Kind kind) {
  static const Recipe video{&CLSID_GstVideoConverter, u"Color Space Converter", "videoconvert", "videoscale",
                            "video/x-raw"};
  static const Recipe audio{&CLSID_GstAudioConverter, u"Audio Converter", "audioconvert", "audioresample",
                            "audio/x-raw"};
  return kind == GstConverterFilter::Kind::Video ? video : audio;
}

// The media name of the first structure, empty for ANY or empty caps.
std::string_view MediaOf(const GstCaps* caps) {
  if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return {};
  return gst_structure_get_name(gst_caps_get_structure(caps, 0));
}

}  // namespace

GstConverterFilter::GstConverterFilter(Kind kind) : GstFilter(*RecipeOf(kind).clsid, RecipeOf(kind).name) {
  const Recipe& recipe = RecipeOf(kind);
  GstElement* first = AddElement(recipe.first);
  GstElement* second = AddElement(recipe.second);
  if (!first || !second || !gst_element_link(first, second)) return;
  const PadRef in = PadRef::Adopt(gst_element_get_static_pad(first, "sink"));
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(second, "src"));
  AddPin(u"Input", PINDIR_INPUT, in.get());
  AddPin(u"Output", PINDIR_OUTPUT, out.get());
  complete_ = true;
}

std::optional<GstConverterFilter::Kind> GstConverterFilter::KindFor(const GstCaps* offered, const GstCaps* accepted) {
  std::string_view media = MediaOf(offered);
  if (media.empty()) media = MediaOf(accepted);
  if (media == RecipeOf(Kind::Video).media) return Kind::Video;
  if (media == RecipeOf(Kind::Audio).media) return Kind::Audio;
  return std::nullopt;
}

std::shared_ptr<GstConverterFilter> GstConverterFilter::Make(Kind kind) {
  auto filter = std::make_shared<GstConverterFilter>(kind);
  return filter->IsComplete() ? filter : nullptr;
}

}  // namespace media::gst
