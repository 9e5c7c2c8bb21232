#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "media/gst/GstEventQueue.h"
#include "media/gst/GstGraphLog.h"
#include "media/gst/GstRef.h"
#include "platform/WindowMessages.h"

namespace media::gst {

// The part of a filter graph that the threads posting on its pipeline's bus
// use: it turns their messages into queued platform events, writes errors and
// state changes to the graph's log, remembers the first error of a run (the
// cause; later ones are its consequences) and whether the pipeline plays,
// and counts the draining filters down. Shared by the graph and its bus
// observer; every member is safe from any thread.
//
// Follow-ups that must change the pipeline's state (a new clock after the
// old one was lost, a new latency) cannot run on a posting thread: they are
// posted to the graph's control window and done on the user-interface thread.
class GstGraphBus {
 public:
  static constexpr platform::UINT kRecalculateLatency = platform::WM_APP + 1;
  static constexpr platform::UINT kReselectClock = platform::WM_APP + 2;

  // pipeline: not owned; the graph keeps it alive for as long as its bus can
  // post here.
  GstGraphBus(GstElement* pipeline, platform::HWND controlWindow);

  void OnMessage(GstMessage* message);

  GstEventQueue& Events() { return events_; }
  GstGraphLog& Log() { return log_; }

  // A run starts: its first error and the devices it lost start afresh, and
  // from a stopped pipeline also what has ended.
  void BeginRun();
  HRESULT FirstError() const { return firstError_.load(); }
  bool Running() const { return running_.load(); }

  // Stop waits until every bin given here has sent its end of stream out
  // (or the whole pipeline has), for at most `limit`. True when all did.
  // The end of stream of a drain is no EC_COMPLETE. BeginDrain answers
  // whether any bin is left to wait for: one whose stream already ended by
  // itself in this run has nothing more to send.
  bool BeginDrain(std::vector<GstElement*> bins);
  bool WaitDrained(std::chrono::milliseconds limit);
  void EndDrain();

 private:
  void OnStateChanged(GstMessage* message);
  void OnError(GstMessage* message);
  void OnNewClock(GstMessage* message);
  void OnEndOfStream(GstObject* source);
  void OnForwarded(GstMessage* message);
  bool ReportDeviceOnce(const GraphEvent& event);
  void Queue(GraphEvent event);

  GstElement* pipeline_;
  platform::HWND controlWindow_;
  GstEventQueue events_;
  GstGraphLog log_;
  std::atomic<bool> running_{false};
  std::atomic<HRESULT> firstError_{S_OK};

  std::mutex mutex_;
  std::condition_variable drained_;
  bool draining_ = false;
  std::vector<GstElement*> pendingDrain_;  // identity only, never dereferenced
  std::vector<GstObject*> ended_;          // identity only: bins whose stream ended this run
  GstClock* lastClock_ = nullptr;           // identity only
  std::vector<LONG_PTR> lostDevices_;
};

}  // namespace media::gst
