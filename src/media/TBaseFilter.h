#pragma once
#include "media/TPersistentMemory.h"
#include "media/framework/Devices.h"
#include "media/framework/Filters.h"

namespace media {

// A device moniker in stored form: the block is exactly what OleSaveToStream
// writes (the moniker's class identifier, then its own bytes), or empty.
class TBaseFilter : public TPersistentMemory {
 public:
  std::string ClassName() const override { return "TBaseFilter"; }

  // Nil empties the block.
  void StoreMoniker(const MonikerPtr& moniker);
  // Nil for an empty block or one that does not load as a moniker.
  MonikerPtr LoadMoniker() const;
  // The device's platform filter, bound anew at every call; nil when there is
  // no moniker or the device cannot be bound.
  BaseFilterPtr BindFilter() const;
};

}  // namespace media
