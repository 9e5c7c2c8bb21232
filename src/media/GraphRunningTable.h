#pragma once
#include <string>

#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

// Publishes a graph for external graph viewers under the item name
// "FilterGraph <address> pid <process id>" and answers the platform's result;
// cookie is set only on success.
HRESULT AddGraphToRunningTable(const UnknownPtr& graph, DWORD& cookie);
HRESULT RemoveGraphFromRunningTable(DWORD cookie);

// The item name: the address as upper-case hex digits in the platform's
// pointer width (16 on 64-bit), the process id in upper-case hex without
// leading zeros.
std::string GraphItemName(const void* graph, unsigned long processId);

}  // namespace media
