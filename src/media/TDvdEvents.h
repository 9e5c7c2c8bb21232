#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "media/framework/Types.h"

namespace media {

class TFilterGraph;

// A DVD time code as the platform packs it into 32 bits, one BCD digit per
// nibble from the low end: hours (units, tens), minutes, seconds, frame
// units, then two bits of frame tens and two bits of frame-rate code
// (1: 25 frames per second, 3: 30).
struct TDvdTimeCode {
  int Hours = 0, Minutes = 0, Seconds = 0, Frames = 0, FrameRateCode = 0;
  static TDvdTimeCode Decode(std::uint32_t packed);
};

// Hours, minutes, seconds and frames as four bytes from the low end.
struct TDvdHmsfTimeCode {
  int Hours = 0, Minutes = 0, Seconds = 0, Frames = 0;
  static TDvdHmsfTimeCode Decode(std::uint32_t packed);
};

// The graph's event properties for the DVD events (codes 257 to 283).
struct TDvdEvents {
  using Notify = std::function<void(TFilterGraph& sender)>;
  using IntEvent = std::function<void(TFilterGraph& sender, int value)>;
  using PairEvent = std::function<void(TFilterGraph& sender, int total, int current)>;
  using LanguageEvent = std::function<void(TFilterGraph& sender, int stream, LCID lcid, const std::string& lang)>;
  using FlagEvent = std::function<void(TFilterGraph& sender, bool flag)>;

  Notify OnDVDDomainFirstPlay, OnDVDDomainVideoManagerMenu, OnDVDDomainVideoTitleSetMenu, OnDVDDomainTitle,
      OnDVDDomainStop;
  IntEvent OnDVDTitleChange;   // title
  IntEvent OnDVDChapterStart;  // chapter
  LanguageEvent OnDVDAudioStreamChange;
  LanguageEvent OnDVDSubpictureStreamChange;
  PairEvent OnDVDAngleChange, OnDVDButtonChange;
  IntEvent OnDVDValidUOPSChange;  // UOPS
  std::function<void(TFilterGraph& sender, bool noButtonAvailable, int seconds)> OnDVDStillOn;
  Notify OnDVDStillOff;
  std::function<void(TFilterGraph& sender, int hours, int minutes, int seconds, int frames, int frate)>
      OnDVDCurrentTime;
  Notify OnDVDErrorUnexpected, OnDVDErrorCopyProtectFail, OnDVDErrorInvalidDVD1_0Disc, OnDVDErrorInvalidDiscRegion,
      OnDVDErrorLowParentalLevel, OnDVDErrorMacrovisionFail, OnDVDErrorIncompatibleSystemAndDecoderRegions,
      OnDVDErrorIncompatibleDiscAndDecoderRegions;
  Notify OnDVDWarningInvalidDVD1_0Disc, OnDVDWarningFormatNotSupported, OnDVDWarningIllegalNavCommand,
      OnDVDWarningOpen, OnDVDWarningSeek, OnDVDWarningRead;
  Notify OnDVDChapterAutoStop, OnDVDNoFP_PGC;
  std::function<void(TFilterGraph& sender, float rate)> OnDVDPlaybackRateChange;
  IntEvent OnDVDParentalLevelChange;  // level
  Notify OnDVDPlaybackStopped;
  FlagEvent OnDVDAnglesAvailable;  // available
  Notify OnDVDPlayPeriodAutoStop;
  IntEvent OnDVDButtonAutoActivated;  // button
  IntEvent OnDVDCMDStart, OnDVDCMDEnd;  // command id
  Notify OnDVDDiscEjected, OnDVDDiscInserted;
  std::function<void(TFilterGraph& sender, const TDvdHmsfTimeCode& hmsf, const TDvdTimeCode& timeCode)>
      OnDVDCurrentHMSFTime;
  FlagEvent OnDVDKaraokeMode;  // played

  // Calls the property of a DVD event if assigned; true when the code is a
  // DVD event. The stream language events ask the sender for IDvdInfo2 and go
  // no further without it; a failing audio language raises.
  bool DispatchDvdTable(TFilterGraph& sender, LONG event, LONG_PTR param1, LONG_PTR param2) const;

 private:
  void DispatchDomain(TFilterGraph& sender, LONG_PTR domain) const;
  void DispatchError(TFilterGraph& sender, LONG_PTR error) const;
  void DispatchWarning(TFilterGraph& sender, LONG_PTR warning) const;
  void DispatchLanguage(TFilterGraph& sender, bool audio, LONG_PTR stream) const;
};

}  // namespace media
