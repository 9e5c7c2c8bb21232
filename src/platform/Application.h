#pragma once
#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace platform {

// The application object's process-wide state: its title (taskbar and message
// boxes) and the default error display, where errors no handler caught end up.
class Application {
 public:
  static void SetTitle(const std::string& title);
  static std::string Title();

  // A modal message box titled with the application title, error icon, OK
  // button. The text gets a "." appended when its last character sorts after
  // "." (so "...failed" becomes "...failed." and "...(x)." stays).
  static void ShowError(const std::string& message, QWidget* parent = nullptr);
  // A modal message box titled with the application title, an OK button and
  // no icon; the text as it stands.
  static void ShowMessage(const std::string& text, QWidget* parent = nullptr);
  // The message of the exception; for unknown exceptions a fixed text.
  static void ShowException(std::exception_ptr error, QWidget* parent = nullptr);
  static std::string DisplayText(const std::string& message);
  // How the framework runs an event handler: an error the handler lets out is
  // shown by the default error display and goes no further.
  static void RunHandler(const std::function<void()>& handler, QWidget* parent = nullptr);

  // Tests replace the modal box by a recorder; nullptr restores it.
  using ErrorSink = void (*)(const std::string& title, const std::string& text);
  static void SetErrorSinkForTesting(ErrorSink sink);
};

}  // namespace platform
