#include "media/gst/GstAsfWriter.h"

#include <span>

#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"
#include "media/gst/AsfHeaderProbe.h"
#include "media/gst/AsfPacketPadding.h"
#include "media/gst/GstEnumSnapshot.h"
#include "media/gst/GstRecordingSink.h"
#include "media/gst/GstText.h"
#include "media/gst/NetworkSinkAdapter.h"
#include "media/gst/WMProfileTable.h"
#include "media/gst/WmaEncodeStage.h"
#include "media/gst/WmvEncodeStage.h"
#include "media/gst/net/AsfAppSinkFeed.h"

namespace media::gst {
namespace {

constexpr const char* kMuxPadTemplate[] = {"audio_%u", "video_%u"};

// Data packets leave the muxer one buffer each, timestamped and exactly a
// packet long (`packetSize`, the muxer's setting); the header and the index
// do not. Only the last packet of a stream needs mending, so a packet is
// made writable only then.
GstPadProbeReturn CompletePacketLength(GstPad*, GstPadProbeInfo* info, gpointer packetSize) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_HEADER) || !GST_BUFFER_PTS_IS_VALID(buffer) ||
      gst_buffer_get_size(buffer) != GPOINTER_TO_UINT(packetSize))
    return GST_PAD_PROBE_OK;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  const bool wrong = AsfPacketPadding::NeedsPadding(std::span<const std::uint8_t>(map.data, map.size));
  gst_buffer_unmap(buffer, &map);
  if (!wrong) return GST_PAD_PROBE_OK;
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) return GST_PAD_PROBE_OK;
  AsfPacketPadding::IncludePadding(std::span<std::uint8_t>(map.data, map.size));
  gst_buffer_unmap(buffer, &map);
  return GST_PAD_PROBE_OK;
}

}  // namespace

// A muxer with its sink, and the queues that feed it from the tees: one per
// stream that is plugged in, in stream order.
struct GstAsfWriter::Output {
  struct Feed {
    GstElement* tee;  // owned by the bin
    PadRef teePad;
    GstElement* queue;  // owned by the bin
    GstElement* mux;
    PadRef muxPad;
  };
  GstElement* mux = nullptr;  // owned by the bin
  GstElement* sink = nullptr;
  bool streamable = false;
  std::vector<Feed> feeds;
};

GstAsfWriter::GstAsfWriter() : GstFilter(CLSID_WMAsfWriter, u"WM ASF Writer") { complete_ = Build(); }

GstAsfWriter::~GstAsfWriter() {
  for (const auto& pin : pins_)
    if (pin) g_signal_handlers_disconnect_by_data(pin->Pad(), this);
  gst_element_set_state(Bin(), GST_STATE_NULL);
  feed_.reset();
  if (file_) Unplug(*file_);
  if (network_) Unplug(*network_);
}

std::shared_ptr<GstAsfWriter> GstAsfWriter::Make() {
  auto writer = std::make_shared<GstAsfWriter>();
  return writer->IsComplete() ? writer : nullptr;
}

bool GstAsfWriter::Build() {
  audio_ = std::make_unique<WmaEncodeStage>(GST_BIN(Bin()));
  video_ = std::make_unique<WmvEncodeStage>(GST_BIN(Bin()));
  if (!audio_->IsComplete() || !video_->IsComplete()) return false;
  if (!BuildStream(kAudio, audio_->SinkPad(), audio_->SrcPad(), u"Audio Input 01") ||
      !BuildStream(kVideo, video_->SinkPad(), video_->SrcPad(), u"Video Input 01"))
    return false;
  // Written as produced: what a crash leaves in the file is all that was
  // muxed.
  GstElement* sink = GstRecordingSink::Make();
  gst_bin_add(GST_BIN(Bin()), sink);
  // The profile first, so that the file's first muxer is made with its
  // packet size and preroll.
  ApplyProfile(WMProfileTable::kDefaultIndex);
  file_ = MakeOutput(sink, false);
  return file_ != nullptr;
}

bool GstAsfWriter::BuildStream(Kind kind, GstPad* stageSink, GstPad* stageSrc, const std::u16string& pinName) {
  GstElement* tee = AddElement("tee");
  if (!tee) return false;
  const PadRef teeSink = PadRef::Adopt(gst_element_get_static_pad(tee, "sink"));
  if (gst_pad_link(stageSrc, teeSink.get()) != GST_PAD_LINK_OK) return false;
  tees_[kind] = tee;
  pins_[kind] = AddPin(pinName, PINDIR_INPUT, stageSink);
  g_signal_connect(pins_[kind]->Pad(), "linked", G_CALLBACK(&GstAsfWriter::OnPinLinkChanged), this);
  g_signal_connect(pins_[kind]->Pad(), "unlinked", G_CALLBACK(&GstAsfWriter::OnPinLinkChanged), this);
  return true;
}

std::unique_ptr<GstAsfWriter::Output> GstAsfWriter::MakeOutput(GstElement* sink, bool streamable) {
  auto output = std::make_unique<Output>();
  output->sink = sink;
  output->streamable = streamable;
  return RenewMux(*output) ? std::move(output) : nullptr;
}

// The muxer takes no stream away once it has its pad (a released pad still
// holds its collection back), so each new set of streams gets a new muxer.
bool GstAsfWriter::RenewMux(Output& output) {
  if (output.mux) {
    gst_element_set_state(output.mux, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(Bin()), output.mux);
    output.mux = nullptr;
  }
  GstElement* mux = AddElement("asfmux");
  if (!mux || !gst_element_link(mux, output.sink)) return false;
  const WMProfileSettings& settings = WMProfileTable::At(profile_);
  g_object_set(mux, "streamable", output.streamable, "packet-size", settings.packetSize, "preroll",
               static_cast<guint64>(settings.bufferWindowMs), nullptr);
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(mux, "src"));
  gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_BUFFER, CompletePacketLength, GUINT_TO_POINTER(settings.packetSize),
                    nullptr);
  g_object_set(mux, "padding", static_cast<guint64>(AsfHeaderProbe::Attach(out.get(), settings)), nullptr);
  output.mux = mux;
  return true;
}

void GstAsfWriter::ApplyProfile(std::size_t index) {
  profile_ = index;
  const WMProfileSettings& settings = WMProfileTable::At(index);
  audio_->Configure(settings.audio);
  video_->Configure(settings.video, settings.bufferWindowMs);
  Replug();
}

bool GstAsfWriter::InProfile(Kind kind) const {
  const WMProfileSettings& settings = WMProfileTable::At(profile_);
  return kind == kAudio ? settings.audio.has_value() : settings.video.has_value();
}

bool GstAsfWriter::Live(Kind kind) const { return InProfile(kind) && pins_[kind] && pins_[kind]->IsConnected(); }

bool GstAsfWriter::Stopped() const { return GST_STATE(Bin()) <= GST_STATE_READY; }

void GstAsfWriter::Replug() {
  for (Output* output : {file_.get(), network_.get()})
    if (output) {
      Unplug(*output);
      RenewMux(*output);
      Plug(*output);
    }
}

void GstAsfWriter::Plug(Output& output) {
  for (Kind kind : {kAudio, kVideo}) {
    if (!Live(kind)) continue;
    GstElement* queue = AddElement("queue");
    if (!queue) continue;
    Output::Feed feed{tees_[kind], PadRef::Adopt(gst_element_request_pad_simple(tees_[kind], "src_%u")), queue,
                      output.mux, PadRef::Adopt(gst_element_request_pad_simple(output.mux, kMuxPadTemplate[kind]))};
    const PadRef in = PadRef::Adopt(gst_element_get_static_pad(queue, "sink"));
    const PadRef out = PadRef::Adopt(gst_element_get_static_pad(queue, "src"));
    if (feed.teePad) gst_pad_link(feed.teePad.get(), in.get());
    if (feed.muxPad) gst_pad_link(out.get(), feed.muxPad.get());
    output.feeds.push_back(std::move(feed));
  }
}

void GstAsfWriter::Unplug(Output& output) {
  for (Output::Feed& feed : output.feeds) {
    gst_element_set_state(feed.queue, GST_STATE_NULL);
    if (feed.teePad) gst_element_release_request_pad(feed.tee, feed.teePad.get());
    if (feed.muxPad) gst_element_release_request_pad(feed.mux, feed.muxPad.get());
    gst_bin_remove(GST_BIN(Bin()), feed.queue);
  }
  output.feeds.clear();
}

void GstAsfWriter::OnPinLinkChanged(GstPad*, GstPad*, gpointer self) { static_cast<GstAsfWriter*>(self)->Replug(); }

HRESULT GstAsfWriter::ConfigureFilterUsingProfileGuid(const GUID& profile) {
  const auto index = WMProfileTable::IndexOf(profile);
  if (!index) return E_INVALIDARG;
  if (!Stopped()) return VFW_E_NOT_STOPPED;
  const WMProfileSettings& next = WMProfileTable::At(*index);
  if ((pins_[kAudio]->IsConnected() && !next.audio) || (pins_[kVideo]->IsConnected() && !next.video))
    return VFW_E_ALREADY_CONNECTED;
  ApplyProfile(*index);
  return S_OK;
}

HRESULT GstAsfWriter::GetCurrentProfileGuid(GUID& profile) {
  profile = kWMProfiles[profile_];
  return S_OK;
}

HRESULT GstAsfWriter::SetIndexMode(bool index) { return SetParam(AM_CONFIGASFWRITER_PARAM_AUTOINDEX, index, 0); }

HRESULT GstAsfWriter::GetIndexMode(bool& index) {
  index = autoIndex_;
  return S_OK;
}

HRESULT GstAsfWriter::SetParam(DWORD param, DWORD value1, DWORD) {
  switch (param) {
    case AM_CONFIGASFWRITER_PARAM_AUTOINDEX: autoIndex_ = value1 != 0; return S_OK;
    case AM_CONFIGASFWRITER_PARAM_MULTIPASS: multiPass_ = value1 != 0; return S_OK;
    case AM_CONFIGASFWRITER_PARAM_DONTCOMPRESS: dontCompress_ = value1 != 0; return S_OK;
    default: return E_INVALIDARG;
  }
}

HRESULT GstAsfWriter::GetParam(DWORD param, DWORD& value1, DWORD& value2) {
  value2 = 0;
  switch (param) {
    case AM_CONFIGASFWRITER_PARAM_AUTOINDEX: value1 = autoIndex_; return S_OK;
    case AM_CONFIGASFWRITER_PARAM_MULTIPASS: value1 = multiPass_; return S_OK;
    case AM_CONFIGASFWRITER_PARAM_DONTCOMPRESS: value1 = dontCompress_; return S_OK;
    default: value1 = 0; return E_INVALIDARG;
  }
}

HRESULT GstAsfWriter::SetFileName(const std::u16string& fileName, const AM_MEDIA_TYPE*) {
  if (!Stopped()) return VFW_E_NOT_STOPPED;
  fileName_ = fileName;
  createdFile_.clear();
  return S_OK;
}

// Only a writer with a connected pin takes part in the run.
void GstAsfWriter::PrepareRun() {
  if (!Live(kAudio) && !Live(kVideo)) return;
  platform::OutputFile file = fileName_.empty() ? platform::OutputFile() : platform::OutputFile::CreateNew(Utf8(fileName_));
  createdFile_ = file.IsOpen() ? Utf16(file.Path()) : std::u16string();
  GstRecordingSink::SetFile(file_->sink, std::move(file));
}

HRESULT GstAsfWriter::GetCurFile(std::u16string& fileName, AM_MEDIA_TYPE* mediaType) {
  fileName = createdFile_.empty() ? fileName_ : createdFile_;
  if (mediaType) {
    *mediaType = AM_MEDIA_TYPE{};
    mediaType->majortype = MEDIATYPE_Stream;
    mediaType->subtype = MEDIASUBTYPE_Asf;
    mediaType->lSampleSize = 1;
  }
  return fileName_.empty() ? E_FAIL : S_OK;
}

HRESULT GstAsfWriter::QueryService(const GUID& service, const IID&, UnknownPtr& out) {
  out.reset();
  if (service != IID_IWMWriterAdvanced2) return E_NOINTERFACE;
  out = shared_from_this();
  return S_OK;
}

HRESULT GstAsfWriter::AddSink(const std::shared_ptr<IWMWriterSink>& sink) {
  if (!sink) return E_POINTER;
  auto network = std::dynamic_pointer_cast<NetworkSinkAdapter>(sink);
  if (!network) return E_INVALIDARG;
  if (networkSink_) return E_UNEXPECTED;
  if (!Stopped()) return VFW_E_NOT_STOPPED;
  GstElement* appsink = AddElement("appsink");
  if (!appsink) return E_FAIL;
  g_object_set(appsink, "async", FALSE, nullptr);
  network_ = MakeOutput(appsink, true);
  if (!network_) return E_FAIL;
  feed_ = std::make_unique<net::AsfAppSinkFeed>(appsink, network->Server());
  networkSink_ = std::move(network);
  Plug(*network_);
  return S_OK;
}

HRESULT GstAsfWriter::RemoveSink(const std::shared_ptr<IWMWriterSink>& sink) {
  if (!sink || sink != std::static_pointer_cast<IWMWriterSink>(networkSink_)) return E_INVALIDARG;
  if (!Stopped()) return VFW_E_NOT_STOPPED;
  feed_.reset();
  Unplug(*network_);
  for (GstElement* element : {network_->mux, network_->sink}) {
    gst_element_set_state(element, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(Bin()), element);
  }
  network_.reset();
  networkSink_.reset();
  return S_OK;
}

HRESULT GstAsfWriter::GetSinkCount(DWORD& count) {
  count = networkSink_ ? 1 : 0;
  return S_OK;
}

HRESULT GstAsfWriter::EnumPins(std::shared_ptr<IEnumPins>& pins) {
  std::vector<PinPtr> listed;
  for (Kind kind : {kAudio, kVideo})
    if (InProfile(kind)) listed.push_back(pins_[kind]);
  pins = std::make_shared<GstEnumSnapshot<IEnumPins, PinPtr>>(std::move(listed));
  return S_OK;
}

HRESULT GstAsfWriter::FindPin(const std::u16string& id, PinPtr& pin) {
  pin.reset();
  for (Kind kind : {kAudio, kVideo})
    if (InProfile(kind) && pins_[kind]->Name() == id) {
      pin = pins_[kind];
      return S_OK;
    }
  return VFW_E_NOT_FOUND;
}

}  // namespace media::gst
