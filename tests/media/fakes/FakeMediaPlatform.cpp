#include "media/fakes/FakeMediaPlatform.h"

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"

using namespace media;

FakeMediaPlatform::FakeMediaPlatform() {
  Replace(CLSID_FilterGraph, [this] {
    auto graph = std::make_shared<FakeGraph>(&log);
    graph->runResult = runResult;
    graph->stopResult = stopResult;
    graphs.push_back(graph);
    return graph;
  });
  Replace(CLSID_CaptureGraphBuilder2, [this] {
    builders.push_back(std::make_shared<FakeCaptureBuilder>());
    return builders.back();
  });
  Replace(CLSID_RunningObjectTable, [this] { return table; });
  Replace(CLSID_PropertyFrame, [this] { return frame; });
  Replace(CLSID_SystemDeviceEnum, [this] { return std::make_shared<FakeDevEnum>(devices); });
  Replace(CLSID_FakeDeviceMoniker, [this] { return std::make_shared<FakeMoniker>(devices); });
}

FakeMediaPlatform::~FakeMediaPlatform() {
  for (auto it = previous_.rbegin(); it != previous_.rend(); ++it) {
    if (it->second) ClassFactory::Register(it->first, it->second);
    else ClassFactory::Unregister(it->first);
  }
}

void FakeMediaPlatform::Replace(const CLSID& clsid, ClassFactory::Maker maker) {
  previous_.emplace_back(clsid, ClassFactory::Lookup(clsid));
  ClassFactory::Register(clsid, std::move(maker));
}
