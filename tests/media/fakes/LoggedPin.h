#pragma once
#include <string>

#include "media/fakes/CallLog.h"
#include "media/fakes/FakeFilter.h"

// A fake pin that logs its disconnections ("label.Disconnect").
class LoggedPin : public FakePin {
 public:
  LoggedPin(std::string label, CallLog& log, media::PIN_DIRECTION direction)
      : FakePin(direction), label_(std::move(label)), log_(log) {}
  media::HRESULT Disconnect() override {
    log_.Add(label_ + ".Disconnect");
    return FakePin::Disconnect();
  }

 private:
  std::string label_;
  CallLog& log_;
};
