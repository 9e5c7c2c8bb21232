#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "media/framework/AsfWriter.h"
#include "media/gst/GstFilter.h"

namespace media::net {
class AsfAppSinkFeed;
}

namespace media::gst {

class NetworkSinkAdapter;
class WmaEncodeStage;
class WmvEncodeStage;

// The ASF writer (CLSID_WMAsfWriter): writes the streams
// connected to it, coded with one of the 27 system profiles (WMProfileTable),
// to an ASF file, and to the network sinks added to it.
//
// Pins follow the profile: "Audio Input 01" when it has audio, then "Video
// Input 01" when it has video (pins of streams the profile lacks are not
// listed and take no format). Each input goes through its encoder stage to a
// tee; every output (the file, and a network sink's streamable muxer) takes
// the streams whose pins are connected, in that order, so a pin never
// connected is left out of the file.
//
// The file (SetFileName) is created new when a run starts from stopped; an
// existing file of that name is kept and the new one takes the first free
// "<name> (2).asf", "<name> (3).asf", ... (GetCurFile reports the name taken).
// A file that cannot be created or written ends the file's part of the run
// (GstRecordingSink): the stream and the network output go on, and the graph
// gets EC_ERROR_STILLPLAYING. Data reaches the file as it is produced, unbuffered, behind a header
// that players read without the final rewrite, so a recording cut off stays
// playable up to about its last packet; the graph's stop ends the stream
// (NeedsDrain), and the muxer then rewrites the header with the true
// duration and sizes and appends the index. The header, from the first write on,
// also states the profile's bit rates, buffer window, frame time and codec
// (AsfHeaderProbe).
//
// While it is written, the file is locked (platform::OutputFile): the
// finishing of cut-off recordings leaves it alone.
//
// The AutoIndex, MultiPass and DontCompress parameters are kept and reported;
// the muxer indexes every file, and the live encoder makes one pass and
// always compresses.
//
// User-interface thread; configuration is refused while the filter runs.
class GstAsfWriter : public GstFilter,
                     public IConfigAsfWriter2,
                     public IFileSinkFilter,
                     public IServiceProvider,
                     public IWMWriterAdvanced2 {
 public:
  GstAsfWriter();
  ~GstAsfWriter() override;

  // Nil when an element of the bin is not installed.
  static std::shared_ptr<GstAsfWriter> Make();
  bool IsComplete() const { return complete_; }

  // IConfigAsfWriter. A profile whose streams differ from the current one's
  // is refused while a pin it would take away is connected
  // (VFW_E_ALREADY_CONNECTED).
  HRESULT ConfigureFilterUsingProfileGuid(const GUID& profile) override;
  HRESULT GetCurrentProfileGuid(GUID& profile) override;
  HRESULT SetIndexMode(bool index) override;
  HRESULT GetIndexMode(bool& index) override;
  // IConfigAsfWriter2: AM_CONFIGASFWRITER_PARAM_AUTOINDEX, _MULTIPASS and
  // _DONTCOMPRESS; E_INVALIDARG for another parameter.
  HRESULT SetParam(DWORD param, DWORD value1, DWORD value2) override;
  HRESULT GetParam(DWORD param, DWORD& value1, DWORD& value2) override;

  // IFileSinkFilter. The name is in effect from the next run.
  HRESULT SetFileName(const std::u16string& fileName, const AM_MEDIA_TYPE* mediaType) override;
  // The name of the file the last run created, else the name set; E_FAIL
  // (and an empty name) while no name is set. A given media type record is
  // filled with the ASF stream type.
  HRESULT GetCurFile(std::u16string& fileName, AM_MEDIA_TYPE* mediaType) override;

  // IServiceProvider: IID_IWMWriterAdvanced2 gives the writer itself.
  HRESULT QueryService(const GUID& service, const IID& riid, UnknownPtr& out) override;

  // IWMWriterAdvanced2: one network sink of ours (NetworkSinkAdapter);
  // E_INVALIDARG for another kind of sink, E_UNEXPECTED for a second one.
  HRESULT AddSink(const std::shared_ptr<IWMWriterSink>& sink) override;
  HRESULT RemoveSink(const std::shared_ptr<IWMWriterSink>& sink) override;
  HRESULT GetSinkCount(DWORD& count) override;

  HRESULT EnumPins(std::shared_ptr<IEnumPins>& pins) override;
  HRESULT FindPin(const std::u16string& id, PinPtr& pin) override;
  bool NeedsDrain() const override { return true; }
  // Creates the run's file.
  void PrepareRun() override;

  GstPinPtr AudioInput() const { return pins_[kAudio]; }
  GstPinPtr VideoInput() const { return pins_[kVideo]; }

 private:
  enum Kind { kAudio = 0, kVideo = 1 };
  struct Output;

  bool Build();
  bool BuildStream(Kind kind, GstPad* stageSink, GstPad* stageSrc, const std::u16string& pinName);
  std::unique_ptr<Output> MakeOutput(GstElement* sink, bool streamable);
  bool RenewMux(Output& output);
  void ApplyProfile(std::size_t index);
  bool InProfile(Kind kind) const;
  bool Live(Kind kind) const;
  void Replug();
  void Plug(Output& output);
  void Unplug(Output& output);
  bool Stopped() const;
  static void OnPinLinkChanged(GstPad* pad, GstPad* peer, gpointer self);

  std::unique_ptr<WmaEncodeStage> audio_;
  std::unique_ptr<WmvEncodeStage> video_;
  std::array<GstPinPtr, 2> pins_;
  std::array<GstElement*, 2> tees_{};  // owned by the bin
  std::unique_ptr<Output> file_;
  std::unique_ptr<Output> network_;
  std::shared_ptr<NetworkSinkAdapter> networkSink_;
  std::unique_ptr<net::AsfAppSinkFeed> feed_;
  std::size_t profile_ = 0;
  std::u16string fileName_;
  std::u16string createdFile_;  // the last run's, empty before it
  bool autoIndex_ = true;
  bool multiPass_ = false;
  bool dontCompress_ = false;
  bool complete_ = false;
};

}  // namespace media::gst
