#include "media/GraphRunningTable.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>

#include "media/framework/RunningObjectTable.h"

namespace media {

std::string GraphItemName(const void* graph, unsigned long processId) {
  char name[64];
  std::snprintf(name, sizeof name, "FilterGraph %0*" PRIXPTR " pid %lX", static_cast<int>(2 * sizeof(void*)),
                reinterpret_cast<std::uintptr_t>(graph), processId);
  return name;
}

HRESULT AddGraphToRunningTable(const UnknownPtr& graph, DWORD& cookie) {
  std::shared_ptr<IRunningObjectTable> table;
  HRESULT hr = GetRunningObjectTable(0, table);
  if (hr != S_OK) return hr;
  const std::string name = GraphItemName(graph.get(), static_cast<unsigned long>(::getpid()));
  MonikerPtr moniker;
  hr = CreateItemMoniker(u"!", std::u16string(name.begin(), name.end()), moniker);
  if (hr != S_OK) return hr;
  DWORD registered = 0;
  hr = table->Register(0, graph, moniker, registered);
  if (SUCCEEDED(hr)) cookie = registered;
  return hr;
}

HRESULT RemoveGraphFromRunningTable(DWORD cookie) {
  std::shared_ptr<IRunningObjectTable> table;
  const HRESULT hr = GetRunningObjectTable(0, table);
  if (hr != S_OK) return hr;
  return table->Revoke(cookie);
}

}  // namespace media
