#pragma once
#include <map>
#include <string>
#include <vector>

#include "media/framework/PropertyPages.h"
#include "media/framework/RunningObjectTable.h"

// The running object table: entries by cookie, with the display names they
// were registered under.
class FakeRunningObjectTable : public media::IRunningObjectTable {
 public:
  std::map<media::DWORD, std::string> entries;
  int registrations = 0;
  media::HRESULT registerFailure = media::S_OK;

  media::HRESULT Register(media::DWORD, const media::UnknownPtr& object, const media::MonikerPtr& name,
                          media::DWORD& cookie) override;
  media::HRESULT Revoke(media::DWORD cookie) override;
  media::HRESULT IsRunning(const media::MonikerPtr& name) override;
  media::HRESULT GetObject(const media::MonikerPtr&, media::UnknownPtr& object) override;

 private:
  media::DWORD next_ = 1;
};

// Records each frame it is asked to show instead of showing it.
class FakePropertyFrame : public media::IPropertyFrame {
 public:
  struct Shown {
    media::OAHWND owner;
    std::u16string caption;
    std::vector<media::UnknownPtr> objects;
    std::vector<media::CLSID> pages;
  };
  std::vector<Shown> shown;
  media::HRESULT result = media::S_OK;

  media::HRESULT Show(media::OAHWND owner, int, int, const std::u16string& caption,
                      const std::vector<media::UnknownPtr>& objects, const std::vector<media::CLSID>& pages,
                      media::LCID) override {
    shown.push_back({owner, caption, objects, pages});
    return result;
  }
};
