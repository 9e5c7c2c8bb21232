#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "media/GraphMember.h"
#include "media/TComponent.h"
#include "media/framework/AsfWriter.h"

namespace media {

// The writer's system profiles; the value is the profile's index in
// kWMProfiles. Profile reads 255 for a profile outside the table.
enum TWMPofiles8 : std::uint8_t {
  wmp_V80_255VideoPDA = 0,
  wmp_V80_150VideoPDA,
  wmp_V80_28856VideoMBR,
  wmp_V80_100768VideoMBR,
  wmp_V80_288100VideoMBR,
  wmp_V80_288Video,
  wmp_V80_56Video,
  wmp_V80_100Video,
  wmp_V80_256Video,
  wmp_V80_384Video,
  wmp_V80_768Video,
  wmp_V80_700NTSCVideo,
  wmp_V80_1400NTSCVideo,
  wmp_V80_384PALVideo,
  wmp_V80_700PALVideo,
  wmp_V80_288MonoAudio,
  wmp_V80_288StereoAudio,
  wmp_V80_32StereoAudio,
  wmp_V80_48StereoAudio,
  wmp_V80_64StereoAudio,
  wmp_V80_96StereoAudio,
  wmp_V80_128StereoAudio,
  wmp_V80_288VideoOnly,
  wmp_V80_56VideoOnly,
  wmp_V80_FAIRVBRVideo,
  wmp_V80_HIGHVBRVideo,
  wmp_V80_BESTVBRVideo,
};

inline constexpr std::uint8_t kUnknownProfile = 255;

// The ASF writer member of a graph: holds the platform's ASF writer filter
// from moAdding to moRemoved and, while it does, a network sink when Port and
// MaxUsers are both above 0. Interface queries it does not answer go to the
// filter while one is held, so the component can be the sink of a render.
//
// States: no filter (Profile and FileName read and write StoredProfile and
// StoredFileName; the other properties only store); filter held (Profile and
// FileName reach the filter; the FileName setter also keeps
// StoredFileName, the Profile setter leaves StoredProfile). Every activation
// makes a new filter and a new network sink from the stored values. No
// platform result is examined and nothing is raised: a writer that could not
// be made shows up when the graph cannot connect to it.
//
// User-interface thread only.
class TASFWriter : public TComponent, public IGraphMember {
 public:
  explicit TASFWriter(std::string name = "ASFWriter");
  ~TASFWriter() override;

  TFilterGraph* FilterGraph() const { return graph_; }
  void SetFilterGraph(TFilterGraph* graph);

  // The filter's profile (255 outside the table) while it exists, else
  // StoredProfile. A value outside the table configures nothing.
  TWMPofiles8 Profile();
  void SetProfile(TWMPofiles8 profile);
  std::string FileName();
  void SetFileName(const std::string& fileName);

  // Read at moAdded; Port then holds the port the network sink reports.
  DWORD Port() const { return port_; }
  void SetPort(DWORD port) { port_ = port; }
  DWORD MaxUsers() const { return maxUsers_; }
  void SetMaxUsers(DWORD maxUsers) { maxUsers_ = maxUsers; }
  bool AutoIndex() const { return autoIndex_; }
  void SetAutoIndex(bool autoIndex) { autoIndex_ = autoIndex; }
  bool MultiPass() const { return multiPass_; }
  void SetMultiPass(bool multiPass) { multiPass_ = multiPass; }
  bool DontCompress() const { return dontCompress_; }
  void SetDontCompress(bool dontCompress) { dontCompress_ = dontCompress; }

  BaseFilterPtr GetMemberFilter() override { return writerFilter_; }
  std::string GetMemberName() override { return Name(); }
  void NotifyMember(TMemberOperation operation, int param) override;
  void MemberGraphDestroyed() override { graph_ = nullptr; }

  template <class I>
  std::shared_ptr<I> Query() { return QueryObject<I>(*this); }
  std::vector<UnknownPtr> QueryDelegates() const override { return {writerFilter_}; }

 private:
  void Added();
  void ApplyFileName();
  void OpenNetworkSink();
  void Removing();
  void Removed();

  TFilterGraph* graph_ = nullptr;
  BaseFilterPtr writerFilter_;
  TWMPofiles8 storedProfile_{};
  std::u16string storedFileName_;
  std::shared_ptr<IWMWriterAdvanced2> writerAdvanced_;
  std::shared_ptr<IWMWriterNetworkSink> networkSink_;
  PinPtr inputPin1_;
  PinPtr inputPin2_;
  DWORD port_ = 0;
  DWORD maxUsers_ = 0;
  bool autoIndex_ = true;
  bool multiPass_ = false;
  bool dontCompress_ = false;
};

}  // namespace media
