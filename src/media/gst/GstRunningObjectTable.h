#pragma once
#include <map>
#include <memory>
#include <string>

#include "media/framework/RunningObjectTable.h"

namespace media::gst {

// The running object table. The platform here has none an outside viewer
// could read, so every registered graph of ours is written as a Graphviz DOT
// file named after its item name ("<item>.dot") in the graph folder,
// rewritten whenever its filters or connections change and removed at
// Revoke. The folder is $XDG_RUNTIME_DIR/quadrovia/graphs, or
// /tmp/quadrovia-<uid>/graphs when that variable is unset; a folder that is
// not the user's own private directory is not written to. The table keeps
// registered objects alive until they are revoked. User-interface thread.
class GstRunningObjectTable : public IRunningObjectTable {
 public:
  // The process's table.
  static std::shared_ptr<GstRunningObjectTable> Instance();
  ~GstRunningObjectTable() override;

  HRESULT Register(DWORD flags, const UnknownPtr& object, const MonikerPtr& name, DWORD& cookie) override;
  HRESULT Revoke(DWORD cookie) override;
  HRESULT IsRunning(const MonikerPtr& name) override;
  HRESULT GetObject(const MonikerPtr& name, UnknownPtr& object) override;

  // Where graph files go now (read from the environment at each call).
  static std::string GraphFolder();
  // The file of a registered entry, empty when it is not written.
  std::string FileOf(DWORD cookie) const;

 private:
  struct Entry {
    UnknownPtr object;
    MonikerPtr name;
    std::string item;
    std::string file;
    int observer = 0;
  };

  void Write(const Entry& entry) const;

  std::map<DWORD, Entry> entries_;
  DWORD nextCookie_ = 1;
};

}  // namespace media::gst
