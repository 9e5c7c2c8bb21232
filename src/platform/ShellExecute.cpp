#include "platform/ShellExecute.h"

#include <QProcess>
#include <QStringList>

namespace platform {
namespace {
ShellExecute::Opener opener = nullptr;
}

void ShellExecute::Open(const std::string& path, int) {
  if (opener) return opener(path);
  // xdg-open finds the desktop's handler; a missing tool or folder is silent.
  QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(path)});
}

void ShellExecute::SetOpenerForTesting(Opener o) { opener = o; }

}  // namespace platform
