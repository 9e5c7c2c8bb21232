#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/AppLog.h"
#include "app/AppPaths.h"
#include "app/CommandLine.h"
#include "app/CutRecordings.h"
#include "app/DemoCameras.h"
#include "app/DisplayCheck.h"
#include "app/SettingsFile.h"
#include "app/TmainForm.h"
#include "app/ToptionForm.h"
#include "app/TsplashForm.h"
#include "app/resources/ProgramResources.h"
#include "channels/RecordCommand.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"
#include "platform/Application.h"
#include "platform/ApplicationWindow.h"
#include "platform/FileSystem.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

std::string ExecutableFolder() {
  const std::string exe = platform::FileSystem::ExecutablePath();
  return exe.substr(0, exe.rfind('/') + 1);
}

}  // namespace

// Start-up order matters: the main window computes the paths the settings
// dialog reads, and the dialog's device lists must exist before the first
// timer tick starts monitoring (ticks only come from the message loop).
int main(int argc, char** argv) {
  // Everything up to the application object works without a display.
  const app::CommandLine commandLine = app::CommandLine::Parse(Arguments(argc, argv));
  if (commandLine.action == app::CommandLine::Action::ShowHelp) {
    std::fputs(app::CommandLine::HelpText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (commandLine.action == app::CommandLine::Action::ShowVersion) {
    std::puts(app::CommandLine::VersionText().toLocal8Bit().constData());
    return 0;
  }
  const app::DisplayCheck::Outcome display =
      app::DisplayCheck::Check(commandLine.platform.toStdString(), commandLine.display.toStdString());
  if (!display.problem.empty()) {
    std::fprintf(stderr, "%s\n", display.problem.c_str());
    return 1;
  }
  if (display.chooseWayland) ::setenv("QT_QPA_PLATFORM", "wayland", 1);
  app::DemoCameras demo;
  if (commandLine.demo && !demo.Prepare(ExecutableFolder())) {
    std::fputs("quadrovia: --demo: the synthetic camera plugin (libgstsynthcam.so) is not installed\n", stderr);
    return 1;
  }
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  media::gst::GstBackend::Install();
  const bool mediaReady = media::SUCCEEDED(media::CoInitialize());
  application.setWindowIcon(app::ProgramResources::ProgramIcon());
  // On screen, painted, during the slow creation of the two windows.
  auto splash = std::make_unique<app::TsplashForm>();
  splash->ShowAndPaint();
  platform::Application::SetTitle("Vistrelle");
  auto* mainForm = new app::TmainForm;
  platform::ApplicationWindow::SetMainForm(mainForm);
  auto* optionForm = new app::ToptionForm(mainForm);
  optionForm->setWindowModality(Qt::ApplicationModal);
  platform::Application::RunHandler([optionForm] { optionForm->FormCreate(); });
  mainForm->SetOptionForm(optionForm);
  qCInfo(lcApp, "%s: settings file %s, save folder %s", app::AppPaths::Installed() ? "installed" : "portable",
         app::SettingsFile::Path().c_str(), app::AppPaths::SavePath.c_str());
  // Log-off asks the main window as a close would; it never refuses.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, mainForm,
                   [mainForm](QSessionManager&) { mainForm->FormCloseQuery(); });
  QObject::connect(mainForm, &QObject::destroyed, &application, &QApplication::quit);
  mainForm->setAttribute(Qt::WA_DeleteOnClose);
  splash.reset();
  if (platform::ApplicationWindow::ShowMainForm()) mainForm->show();
  // In the background while the program runs; it ends before the media
  // platform does.
  std::vector<std::string> recordingFolders;
  for (int n = 1; n <= 4; ++n) recordingFolders.push_back(channels::RecordCommand::ChannelFolder(app::AppPaths::SavePath, n));
  auto cutRecordings = std::make_unique<app::CutRecordings>(std::move(recordingFolders));
  cutRecordings->Start();
  const int status = application.exec();
  cutRecordings.reset();
  if (mediaReady) media::CoUninitialize();
  return status;
}
