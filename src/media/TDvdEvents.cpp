#include "media/TDvdEvents.h"

#include "media/LocaleNames.h"
#include "media/MediaErrors.h"
#include "media/TFilterGraph.h"
#include "media/framework/EventCodes.h"
#include "media/framework/Graphs.h"

namespace media {
namespace {

int Bcd(std::uint32_t packed, int shift, int bits) { return static_cast<int>((packed >> shift) & ((1u << bits) - 1)); }

template <class F, class... A>
void Fire(const F& handler, A&&... args) {
  if (handler) handler(std::forward<A>(args)...);
}

void FireNth(TFilterGraph& sender, LONG_PTR n, std::initializer_list<const TDvdEvents::Notify*> table) {
  if (n >= 1 && static_cast<std::size_t>(n) <= table.size()) Fire(*table.begin()[n - 1], sender);
}

}  // namespace

TDvdTimeCode TDvdTimeCode::Decode(std::uint32_t p) {
  TDvdTimeCode t;
  t.Hours = Bcd(p, 4, 4) * 10 + Bcd(p, 0, 4);
  t.Minutes = Bcd(p, 12, 4) * 10 + Bcd(p, 8, 4);
  t.Seconds = Bcd(p, 20, 4) * 10 + Bcd(p, 16, 4);
  t.Frames = Bcd(p, 28, 2) * 10 + Bcd(p, 24, 4);
  t.FrameRateCode = Bcd(p, 30, 2);
  return t;
}

TDvdHmsfTimeCode TDvdHmsfTimeCode::Decode(std::uint32_t p) {
  return {Bcd(p, 0, 8), Bcd(p, 8, 8), Bcd(p, 16, 8), Bcd(p, 24, 8)};
}

void TDvdEvents::DispatchDomain(TFilterGraph& s, LONG_PTR domain) const {
  FireNth(s, domain, {&OnDVDDomainFirstPlay, &OnDVDDomainVideoManagerMenu, &OnDVDDomainVideoTitleSetMenu,
                      &OnDVDDomainTitle, &OnDVDDomainStop});
}

void TDvdEvents::DispatchError(TFilterGraph& s, LONG_PTR error) const {
  FireNth(s, error, {&OnDVDErrorUnexpected, &OnDVDErrorCopyProtectFail, &OnDVDErrorInvalidDVD1_0Disc,
                     &OnDVDErrorInvalidDiscRegion, &OnDVDErrorLowParentalLevel, &OnDVDErrorMacrovisionFail,
                     &OnDVDErrorIncompatibleSystemAndDecoderRegions, &OnDVDErrorIncompatibleDiscAndDecoderRegions});
}

void TDvdEvents::DispatchWarning(TFilterGraph& s, LONG_PTR warning) const {
  FireNth(s, warning, {&OnDVDWarningInvalidDVD1_0Disc, &OnDVDWarningFormatNotSupported,
                       &OnDVDWarningIllegalNavCommand, &OnDVDWarningOpen, &OnDVDWarningSeek, &OnDVDWarningRead});
}

void TDvdEvents::DispatchLanguage(TFilterGraph& s, bool audio, LONG_PTR stream) const {
  const LanguageEvent& handler = audio ? OnDVDAudioStreamChange : OnDVDSubpictureStreamChange;
  if (!handler) return;
  auto info = s.Query<IDvdInfo2>();
  if (!info) return;
  LCID lcid = 0;
  const auto number = static_cast<ULONG>(stream);
  if (audio) CheckMediaResult(info->GetAudioLanguage(number, lcid));
  else info->GetSubpictureLanguage(number, lcid);
  handler(s, static_cast<int>(stream), lcid, LocaleEnglishLanguageName(lcid));
}

bool TDvdEvents::DispatchDvdTable(TFilterGraph& s, LONG event, LONG_PTR p1, LONG_PTR p2) const {
  const int v1 = static_cast<int>(p1), v2 = static_cast<int>(p2);
  switch (event) {
    case EC_DVD_DOMAIN_CHANGE: DispatchDomain(s, p1); break;
    case EC_DVD_TITLE_CHANGE: Fire(OnDVDTitleChange, s, v1); break;
    case EC_DVD_CHAPTER_START: Fire(OnDVDChapterStart, s, v1); break;
    case EC_DVD_AUDIO_STREAM_CHANGE: DispatchLanguage(s, true, p1); break;
    case EC_DVD_SUBPICTURE_STREAM_CHANGE: DispatchLanguage(s, false, p1); break;
    case EC_DVD_ANGLE_CHANGE: Fire(OnDVDAngleChange, s, v1, v2); break;
    case EC_DVD_BUTTON_CHANGE: Fire(OnDVDButtonChange, s, v1, v2); break;
    case EC_DVD_VALID_UOPS_CHANGE: Fire(OnDVDValidUOPSChange, s, v1); break;
    case EC_DVD_STILL_ON: Fire(OnDVDStillOn, s, p1 == 1, v2); break;
    case EC_DVD_STILL_OFF: Fire(OnDVDStillOff, s); break;
    case EC_DVD_CURRENT_TIME: {
      if (!OnDVDCurrentTime) break;
      const TDvdTimeCode t = TDvdTimeCode::Decode(static_cast<std::uint32_t>(p1));
      const int frate = t.FrameRateCode == 1 ? 25 : t.FrameRateCode == 3 ? 30 : 0;
      OnDVDCurrentTime(s, t.Hours, t.Minutes, t.Seconds, t.Frames, frate);
      break;
    }
    case EC_DVD_ERROR: DispatchError(s, p1); break;
    case EC_DVD_WARNING: DispatchWarning(s, p1); break;
    case EC_DVD_CHAPTER_AUTOSTOP: Fire(OnDVDChapterAutoStop, s); break;
    case EC_DVD_NO_FP_PGC: Fire(OnDVDNoFP_PGC, s); break;
    case EC_DVD_PLAYBACK_RATE_CHANGE: Fire(OnDVDPlaybackRateChange, s, static_cast<float>(v1) / 10000.0f); break;
    case EC_DVD_PARENTAL_LEVEL_CHANGE: Fire(OnDVDParentalLevelChange, s, v1); break;
    case EC_DVD_PLAYBACK_STOPPED: Fire(OnDVDPlaybackStopped, s); break;
    case EC_DVD_ANGLES_AVAILABLE: Fire(OnDVDAnglesAvailable, s, p1 == 1); break;
    case EC_DVD_PLAYPERIOD_AUTOSTOP: Fire(OnDVDPlayPeriodAutoStop, s); break;
    case EC_DVD_BUTTON_AUTO_ACTIVATED: Fire(OnDVDButtonAutoActivated, s, v1); break;
    case EC_DVD_CMD_START: Fire(OnDVDCMDStart, s, v1); break;
    case EC_DVD_CMD_END: Fire(OnDVDCMDEnd, s, v1); break;
    case EC_DVD_DISC_EJECTED: Fire(OnDVDDiscEjected, s); break;
    case EC_DVD_DISC_INSERTED: Fire(OnDVDDiscInserted, s); break;
    case EC_DVD_CURRENT_HMSF_TIME:
      if (OnDVDCurrentHMSFTime)
        OnDVDCurrentHMSFTime(s, TDvdHmsfTimeCode::Decode(static_cast<std::uint32_t>(p1)),
                             TDvdTimeCode::Decode(static_cast<std::uint32_t>(p2)));
      break;
    case EC_DVD_KARAOKE_MODE: Fire(OnDVDKaraokeMode, s, p1 != 0); break;
    default: return false;
  }
  return true;
}

}  // namespace media
