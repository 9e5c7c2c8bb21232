#pragma once
#include <string>
#include <vector>

#include "platform/Application.h"

// Captures what the default error display would show, for the lifetime of the
// object.
class ErrorRecorder {
 public:
  ErrorRecorder() {
    Shown().clear();
    platform::Application::SetErrorSinkForTesting(&Record);
  }
  ~ErrorRecorder() { platform::Application::SetErrorSinkForTesting(nullptr); }
  const std::vector<std::string>& messages() const { return Shown(); }

 private:
  static std::vector<std::string>& Shown() {
    static std::vector<std::string> shown;
    return shown;
  }
  static void Record(const std::string&, const std::string& text) { Shown().push_back(text); }
};
