#include <QApplication>

#include "app/TmainForm.h"
#include "app/ToptionForm.h"
#include "platform/Application.h"

// Start-up order matters: the main window computes the paths the settings
// dialog reads, and the dialog's device lists must exist before the first
// timer tick starts monitoring (ticks only come from the message loop).
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  platform::Application::SetTitle("Vistrelle");
  auto* mainForm = new app::TmainForm;
  auto* optionForm = new app::ToptionForm(mainForm);
  optionForm->setWindowModality(Qt::ApplicationModal);
  platform::Application::RunHandler([optionForm] { optionForm->FormCreate(); });
  mainForm->SetOptionForm(optionForm);
  QObject::connect(mainForm, &QObject::destroyed, &application, &QApplication::quit);
  mainForm->setAttribute(Qt::WA_DeleteOnClose);
  mainForm->show();
  return application.exec();
}
