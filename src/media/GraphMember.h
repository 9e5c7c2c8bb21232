#pragma once
#include <string>

#include "media/framework/Filters.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

class TFilterGraph;

// What the graph tells a member about its platform filter.
enum TMemberOperation {
  moAdding = 0,    // create your filter now; it goes into the platform graph next
  moAdded = 1,     // your filter is in the platform graph
  moRemoving = 2,  // your filter is about to leave the platform graph
  moRemoved = 3,   // release your filter
  moRefresh = 4,   // a member's own request to be taken out and put back
};

// What the graph tells its listeners about control. Codes 1 and 3 to 6 are
// never sent.
enum TGraphControl {
  gcPlay = 0,    // about to run
  gcStop = 2,    // about to stop
  gcActive = 7,  // param 1: activation finished; 0: deactivation starting
};

// A component whose platform filter the graph puts into its platform graph
// while active. Not reference counted: members and graph live as long as
// their components, and each side tells the other before it goes.
class IGraphMember : public virtual IUnknown {
 public:
  // The current platform filter; nil outside moAdding..moRemoved.
  virtual BaseFilterPtr GetMemberFilter() = 0;
  // The name the filter gets in the platform graph.
  virtual std::string GetMemberName() = 0;
  virtual void NotifyMember(TMemberOperation operation, int param) = 0;
  // The graph this member names is being destroyed: forget it without
  // calling it.
  virtual void MemberGraphDestroyed() = 0;
};

// A member that also wants the graph's events and control notices.
class IGraphListener : public virtual IUnknown {
 public:
  virtual void HandleGraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2) = 0;
  virtual void HandleGraphControl(TGraphControl control, int param) = 0;
};

// The member side of the contract, for every member's FilterGraph setter: the
// same graph does nothing; otherwise detach from the old graph (a listener
// also DetachListener, after), attach to the new one (a listener also
// AttachListener, after) and store it in `current`.
void ChangeMemberGraph(IGraphMember& member, IGraphListener* listener, TFilterGraph*& current, TFilterGraph* next);

}  // namespace media
