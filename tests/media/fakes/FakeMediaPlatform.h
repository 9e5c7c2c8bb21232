#pragma once
#include <memory>
#include <vector>

#include "media/fakes/CallLog.h"
#include "media/fakes/FakeDevices.h"
#include "media/fakes/FakeGraph.h"
#include "media/fakes/FakeServices.h"
#include "media/framework/ClassFactory.h"

// Registers fake platform classes in the class factory for the lifetime of
// the object: graphs and capture builders (every one made is kept in
// `graphs` / `builders`), the running object table, the property frame and
// the system device enumerator over `devices`. Puts back what was registered
// before (the real backend's classes) afterwards.
class FakeMediaPlatform {
 public:
  FakeMediaPlatform();
  ~FakeMediaPlatform();

  CallLog log;
  std::vector<std::shared_ptr<FakeGraph>> graphs;
  std::vector<std::shared_ptr<FakeCaptureBuilder>> builders;
  std::shared_ptr<FakeRunningObjectTable> table = std::make_shared<FakeRunningObjectTable>();
  std::shared_ptr<FakePropertyFrame> frame = std::make_shared<FakePropertyFrame>();
  std::shared_ptr<FakeDeviceList> devices = std::make_shared<FakeDeviceList>();
  // Settings applied to each new graph.
  media::HRESULT runResult = media::S_OK;
  media::HRESULT stopResult = media::S_OK;

  std::shared_ptr<FakeGraph> LastGraph() const { return graphs.empty() ? nullptr : graphs.back(); }

 private:
  void Replace(const media::CLSID& clsid, media::ClassFactory::Maker maker);
  std::vector<std::pair<media::CLSID, media::ClassFactory::Maker>> previous_;
};
