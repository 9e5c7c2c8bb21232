#pragma once
#include "media/framework/ClassFactory.h"

// Puts a maker in the class factory for one class while it lives and puts
// back what was registered before (the real backend's class, or nothing).
class ClassOverride {
 public:
  ClassOverride(const media::CLSID& clsid, media::ClassFactory::Maker maker)
      : clsid_(clsid), previous_(media::ClassFactory::Lookup(clsid)) {
    media::ClassFactory::Register(clsid_, std::move(maker));
  }
  ~ClassOverride() {
    if (previous_) media::ClassFactory::Register(clsid_, previous_);
    else media::ClassFactory::Unregister(clsid_);
  }
  ClassOverride(const ClassOverride&) = delete;
  ClassOverride& operator=(const ClassOverride&) = delete;

 private:
  media::CLSID clsid_;
  media::ClassFactory::Maker previous_;
};
