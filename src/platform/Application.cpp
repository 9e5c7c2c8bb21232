#include "platform/Application.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/ApplicationWindow.h"
#include "platform/IconTitle.h"

namespace platform {
namespace {

std::string& TitleStore() {
  static std::string title;
  return title;
}

Application::ErrorSink errorSink = nullptr;

}  // namespace

void Application::SetTitle(const std::string& title) {
  // Not Qt's display name: that would be appended to every window title.
  TitleStore() = title;
  IconTitle::Apply(ApplicationWindow::MainForm(), QString::fromStdString(title));
}

std::string Application::Title() { return TitleStore(); }

std::string Application::DisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void Application::ShowError(const std::string& message, QWidget* parent) {
  const std::string text = DisplayText(message);
  if (errorSink) return errorSink(Title(), text);
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(Title()), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

void Application::ShowMessage(const std::string& text, QWidget* parent) {
  if (errorSink) return errorSink(Title(), text);
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(Title()), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

void Application::ShowException(std::exception_ptr error, QWidget* parent) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    ShowError(e.what(), parent);
  } catch (...) {
    ShowError("Unknown error", parent);
  }
}

void Application::RunHandler(const std::function<void()>& handler, QWidget* parent) {
  try {
    handler();
  } catch (...) {
    ShowException(std::current_exception(), parent);
  }
}

void Application::SetErrorSinkForTesting(ErrorSink sink) { errorSink = sink; }

}  // namespace platform
