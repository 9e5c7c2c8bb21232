#include "media/framework/MediaPlatform.h"

#include <vector>

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/ItemMoniker.h"

namespace media {
namespace {

struct Backend {
  std::string name;
  MediaPlatform::Start start;
  MediaPlatform::Finish finish;
};

std::vector<Backend>& Backends() {
  static std::vector<Backend> backends;
  return backends;
}

int& InitCount() {
  static int count = 0;
  return count;
}

void FinishBackends(std::size_t started) {
  while (started > 0) {
    auto& finish = Backends()[--started].finish;
    if (finish) finish();
  }
}

}  // namespace

void MediaPlatform::AddBackend(const std::string& name, Start start, Finish finish) {
  Backends().push_back({name, std::move(start), std::move(finish)});
}

void MediaPlatform::RemoveBackend(const std::string& name) {
  if (InitCount() > 0) return;
  std::erase_if(Backends(), [&](const Backend& b) { return b.name == name; });
}

bool MediaPlatform::IsInitialized() { return InitCount() > 0; }

HRESULT CoInitialize(void*) {
  if (InitCount() > 0) {
    ++InitCount();
    return S_FALSE;
  }
  ClassFactory::Register(CLSID_ItemMoniker, [] { return std::make_shared<ItemMoniker>(); });
  for (std::size_t i = 0; i < Backends().size(); ++i) {
    const HRESULT hr = Backends()[i].start ? Backends()[i].start() : S_OK;
    if (FAILED(hr)) {
      FinishBackends(i);
      return hr;
    }
  }
  InitCount() = 1;
  return S_OK;
}

void CoUninitialize() {
  if (InitCount() == 0) return;
  if (--InitCount() == 0) FinishBackends(Backends().size());
}

}  // namespace media
