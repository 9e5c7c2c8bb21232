#pragma once
#include <string>
#include <vector>

// The order in which fakes and test members were called, as short entries
// such as "Filter1.moAdding" or "graph.AddFilter Filter1".
struct CallLog {
  std::vector<std::string> entries;
  void Add(std::string entry) { entries.push_back(std::move(entry)); }
  void Clear() { entries.clear(); }
};
