#include "media/GraphMember.h"

#include "media/TFilterGraph.h"

namespace media {

void ChangeMemberGraph(IGraphMember& member, IGraphListener* listener, TFilterGraph*& current, TFilterGraph* next) {
  if (current == next) return;
  if (current) {
    current->DetachMember(&member);
    if (listener) current->DetachListener(listener);
  }
  if (next) {
    next->AttachMember(&member);
    if (listener) next->AttachListener(listener);
  }
  current = next;
}

}  // namespace media
