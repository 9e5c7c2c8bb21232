// A form with one tray icon on the desktop's real shell, for the end-to-end
// tray test. It prints one line for each thing the component does or
// reports, and reads commands from standard input: "hide" and "show" set
// IconVisible, "balloon" shows a balloon of 300 ms on the icon, "quit" ends it.
#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

#include "platform/ApplicationWindow.h"
#include "platform/Shell.h"
#include "tray/TTrayIcon.h"

namespace {

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

const char* Name(tray::TMouseButton button) {
  switch (button) {
    case tray::TMouseButton::mbLeft: return "left";
    case tray::TMouseButton::mbRight: return "right";
    default: return "middle";
  }
}

class ProbeIcon : public tray::TTrayIcon {
 public:
  using TTrayIcon::TTrayIcon;
  bool AddTrayIcon() override {
    const bool added = TTrayIcon::AddTrayIcon();
    Say(added ? "added 1" : "added 0");
    return added;
  }
  bool RemoveTrayIcon() override {
    const bool removed = TTrayIcon::RemoveTrayIcon();
    Say(removed ? "removed 1" : "removed 0");
    return removed;
  }
};

class VisibilityLog : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) Say("form shown");
    if (event->type() == QEvent::Hide) Say("form hidden");
    return false;
  }
};

void Wire(ProbeIcon& icon) {
  auto report = [](const char* what) {
    return [what](tray::TTrayIcon*, tray::TMouseButton button, tray::TShiftState, int, int) {
      std::printf("%s %s\n", what, Name(button));
      std::fflush(stdout);
    };
  };
  icon.OnMouseDown = report("down");
  icon.OnMouseUp = report("up");
  icon.OnClick = [](tray::TTrayIcon* sender) {
    Say("click");
    sender->RestoreMainForm();
  };
  icon.OnDblClick = [](tray::TTrayIcon*) { Say("dblclick"); };
  icon.OnBalloonHintShow = [](tray::TTrayIcon*) { Say("balloon show"); };
  icon.OnBalloonHintHide = [](tray::TTrayIcon*) { Say("balloon hide"); };
  icon.OnBalloonHintTimeout = [](tray::TTrayIcon*) { Say("balloon timeout"); };
  icon.OnBalloonHintClick = [](tray::TTrayIcon*) { Say("balloon click"); };
}

void ShowBalloon(const tray::TTrayIcon& icon) {
  platform::NOTIFYICONDATA data = icon.NotifyData();
  data.uFlags = platform::NIF_INFO;
  std::snprintf(data.szInfoTitle, sizeof data.szInfoTitle, "%s", "Quadrovia");
  std::snprintf(data.szInfo, sizeof data.szInfo, "%s", "Recording");
  data.uTimeout = 300;
  data.dwInfoFlags = platform::NIIF_INFO;
  platform::Shell::Current().NotifyIcon(platform::NIM_MODIFY, data);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget form;
  form.setWindowTitle("TrayProbe");
  form.resize(320, 200);
  VisibilityLog visibility;
  form.installEventFilter(&visibility);
  platform::ApplicationWindow::SetMainForm(&form);

  auto* icon = new ProbeIcon(&form);
  QPixmap image(22, 22);
  image.fill(Qt::darkCyan);
  icon->SetIcon(QIcon(image));
  icon->MinimizeToTray = true;
  Wire(*icon);
  icon->SetIconVisible(true);
  icon->Loaded();

  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[256];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) return app.quit();
    for (const QByteArray& line : QByteArray(buffer, int(n)).split('\n')) {
      const QByteArray command = line.trimmed();
      if (command == "quit") app.quit();
      if (command == "hide") icon->SetIconVisible(false);
      if (command == "show") icon->SetIconVisible(true);
      if (command == "balloon") ShowBalloon(*icon);
    }
  });

  if (app.arguments().contains("--maximized"))
    form.showMaximized();
  else
    form.show();
  return app.exec();
}
