#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/GraphMember.h"
#include "media/TComponent.h"
#include "media/TDvdEvents.h"
#include "media/TGraphEvents.h"
#include "media/framework/Graphs.h"
#include "platform/MessageWindow.h"

namespace media {

// Which platform objects an activation creates, and where interface queries
// go while active:
// - gmNormal: a platform graph; queries go to it.
// - gmCapture: a capture graph builder, then a platform graph handed to the
//   builder; queries go to the builder, then the graph.
// - gmDVD: a DVD graph builder and the graph it makes; queries go to the
//   builder, its DVD interfaces, then the graph. This platform has no DVD
//   builder, so a DVD graph holds no objects.
enum TGraphMode { gmNormal = 0, gmCapture = 1, gmDVD = 2 };

// The message the platform graph posts to the notification window for each
// queued event.
inline constexpr platform::UINT WM_GRAPHNOTIFY = 0x8001;

// Owns one platform filter graph and puts its members' filters into it while
// Active. States: inactive (no platform objects; properties only store) and
// active (platform graph with every member's filter, event notification on,
// published when GraphEdit, logging when LogFile). Only Active (or Mode while
// active) moves between them. User-interface thread only; events arrive there
// through the notification window, one at a time in queue order.
class TFilterGraph : public TComponent, public virtual IUnknown, public TGraphEvents, public TDvdEvents {
 public:
  explicit TFilterGraph(std::string name = "FilterGraph");
  ~TFilterGraph() override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  TGraphMode Mode() const { return mode_; }
  void SetMode(TGraphMode mode);
  bool GraphEdit() const { return graphEdit_; }
  void SetGraphEdit(bool graphEdit);
  const std::string& LogFile() const { return logFile_; }
  // Creating the file can fail: then nothing is logged, nothing is shown and
  // the previous name stays.
  void SetLogFile(const std::string& logFile);
  bool AutoCreate = false;
  // Called when the owning window has finished creating its components.
  void Loaded();

  std::function<void(TFilterGraph& sender)> OnActivate;
  std::function<void(TFilterGraph& sender, LONG event, LONG_PTR param1, LONG_PTR param2)> OnDSEvent;

  // False when inactive; raises EDirectShowException for a failing result.
  // Play counts S_FALSE (still changing state) as done, Stop does not.
  bool Play();
  bool Stop();
  // Stops, disconnects every pin and removes every filter that is not a
  // member's; nothing when inactive. Failures raise.
  void ResetGraph();
  void DisconnectAll();

  // For members' FilterGraph setters only.
  void AttachMember(IGraphMember* member);
  void DetachMember(IGraphMember* member);
  void AttachListener(IGraphListener* listener);
  void DetachListener(IGraphListener* listener);

  // Listeners, OnDSEvent, then the event's own property.
  virtual void DispatchGraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2);

  // The component's own interfaces, then (while active) the mode's objects.
  template <class I>
  std::shared_ptr<I> Query() { return QueryObject<I>(*this); }
  std::vector<UnknownPtr> QueryDelegates() const override;

  platform::HWND NotifyWindow() const { return window_->Handle(); }
  std::shared_ptr<IFilterGraph2> PlatformGraph() const { return graph_; }

 private:
  void Activate();
  void Deactivate();
  void CreatePlatformObjects();
  void StartNotification();
  void StopNotification();
  void OpenLogFile(const std::string& name);
  void CloseLogFile();
  void AddMember(IGraphMember* member);
  void RemoveMember(IGraphMember* member);
  void NotifyListeners(TGraphControl control, int param);
  platform::LRESULT HandleMessage(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);
  void DrainEvents();

  std::unique_ptr<platform::MessageWindow> window_;
  bool active_ = false;
  TGraphMode mode_ = gmNormal;
  bool graphEdit_ = false;
  std::string logFile_;
  std::vector<IGraphMember*> members_;
  std::vector<IGraphListener*> listeners_;
  std::shared_ptr<IFilterGraph2> graph_;
  std::shared_ptr<ICaptureGraphBuilder2> captureBuilder_;
  std::shared_ptr<IDvdGraphBuilder> dvdBuilder_;
  std::shared_ptr<IMediaEventEx> events_;
  DWORD runningTableCookie_ = 0;
  int logFd_ = -1;
};

}  // namespace media
