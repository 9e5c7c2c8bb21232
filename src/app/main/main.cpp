#include <QApplication>
#include <QSessionManager>
#include <memory>

#include "app/AppPaths.h"
#include "app/CutRecordings.h"
#include "app/TmainForm.h"
#include "app/ToptionForm.h"
#include "app/TsplashForm.h"
#include "app/resources/ProgramResources.h"
#include "channels/RecordCommand.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"
#include "platform/Application.h"
#include "platform/ApplicationWindow.h"

// Start-up order matters: the main window computes the paths the settings
// dialog reads, and the dialog's device lists must exist before the first
// timer tick starts monitoring (ticks only come from the message loop).
int main(int argc, char** argv) {
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
