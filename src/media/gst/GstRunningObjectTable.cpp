#include "media/gst/GstRunningObjectTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "media/framework/ItemMoniker.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstGraphDot.h"
#include "media/gst/GstText.h"

namespace media::gst {
namespace {

// A folder we may write into: made private when missing, else accepted only
// when it is a real directory (no link) of this user that nobody else can
// write to.
bool PrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info{};
  if (::lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool MakeGraphFolder(const std::string& folder) {
  const std::string parent = folder.substr(0, folder.rfind('/'));
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  // Inside the runtime directory the base already is the user's own.
  if (runtime && *runtime && ::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) return false;
  if (!(runtime && *runtime) && !PrivateFolder(parent)) return false;
  return PrivateFolder(folder);
}

std::string ItemOf(const MonikerPtr& name) {
  if (const auto item = std::dynamic_pointer_cast<ItemMoniker>(name)) return Utf8(item->Item());
  std::u16string display;
  name->GetDisplayName(nullptr, nullptr, display);
  std::string text = Utf8(display);
  return !text.empty() && text.front() == '!' ? text.substr(1) : text;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  const bool written = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  ::close(fd);
  // A viewer following the file never sees it half written.
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace

std::shared_ptr<GstRunningObjectTable> GstRunningObjectTable::Instance() {
  static const auto table = std::make_shared<GstRunningObjectTable>();
  return table;
}

GstRunningObjectTable::~GstRunningObjectTable() {
  while (!entries_.empty()) Revoke(entries_.begin()->first);
}

std::string GstRunningObjectTable::GraphFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/quadrovia/graphs";
  return "/tmp/quadrovia-" + std::to_string(::getuid()) + "/graphs";
}

HRESULT GstRunningObjectTable::Register(DWORD, const UnknownPtr& object, const MonikerPtr& name, DWORD& cookie) {
  cookie = 0;
  if (!object || !name) return E_INVALIDARG;
  Entry entry{object, name, ItemOf(name), {}, 0};
  const std::string folder = GraphFolder();
  if (!entry.item.empty() && entry.item.find('/') == std::string::npos && MakeGraphFolder(folder))
    entry.file = folder + "/" + entry.item + ".dot";
  cookie = nextCookie_++;
  if (const auto graph = std::dynamic_pointer_cast<GstFilterGraph>(object)) {
    entry.observer = graph->AddTopologyObserver([this, id = cookie] {
      if (const auto it = entries_.find(id); it != entries_.end()) Write(it->second);
    });
  }
  Write(entry);
  entries_.emplace(cookie, std::move(entry));
  return S_OK;
}

HRESULT GstRunningObjectTable::Revoke(DWORD cookie) {
  const auto it = entries_.find(cookie);
  if (it == entries_.end()) return E_INVALIDARG;
  const Entry entry = std::move(it->second);
  entries_.erase(it);
  if (const auto graph = std::dynamic_pointer_cast<GstFilterGraph>(entry.object))
    graph->RemoveTopologyObserver(entry.observer);
  if (!entry.file.empty()) ::unlink(entry.file.c_str());
  return S_OK;
}

HRESULT GstRunningObjectTable::IsRunning(const MonikerPtr& name) {
  if (!name) return E_INVALIDARG;
  for (const auto& [cookie, entry] : entries_)
    if (name->IsEqual(entry.name) == S_OK) return S_OK;
  return S_FALSE;
}

HRESULT GstRunningObjectTable::GetObject(const MonikerPtr& name, UnknownPtr& object) {
  object.reset();
  if (!name) return E_INVALIDARG;
  for (const auto& [cookie, entry] : entries_)
    if (name->IsEqual(entry.name) == S_OK) {
      object = entry.object;
      return S_OK;
    }
  return VFW_E_NOT_FOUND;
}

std::string GstRunningObjectTable::FileOf(DWORD cookie) const {
  const auto it = entries_.find(cookie);
  return it == entries_.end() ? std::string() : it->second.file;
}

void GstRunningObjectTable::Write(const Entry& entry) const {
  if (entry.file.empty()) return;
  const auto graph = std::dynamic_pointer_cast<GstFilterGraph>(entry.object);
  WriteFileAtomically(entry.file, graph ? GstGraphDot::Render(*graph, entry.item)
                                        : "digraph \"" + GstGraphDot::EscapeRecord(entry.item) + "\" {}\n");
}

}  // namespace media::gst
