#include "media/gst/GstPropertyFrame.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "media/framework/ClassFactory.h"

namespace media::gst {
namespace {

GstPropertyFrame::Exec& TestExec() {
  static GstPropertyFrame::Exec exec;
  return exec;
}

struct Page {
  std::shared_ptr<IPropertyPage> page;
  QWidget* tab = nullptr;
};

std::vector<Page> MakePages(const std::vector<CLSID>& ids, const std::vector<UnknownPtr>& objects) {
  std::vector<Page> pages;
  for (const CLSID& id : ids) {
    std::shared_ptr<IPropertyPage> page;
    if (FAILED(CoCreateInstance<IPropertyPage>(id, page)) || FAILED(page->SetObjects(objects))) continue;
    pages.push_back({page, nullptr});
  }
  return pages;
}

void ApplyAll(const std::vector<Page>& pages) {
  for (const Page& p : pages) p.page->Apply();
}

void AddTabs(QTabWidget& tabs, std::vector<Page>& pages) {
  for (Page& p : pages) {
    PROPPAGEINFO info;
    p.page->GetPageInfo(info);
    p.tab = new QWidget;
    tabs.addTab(p.tab, QString::fromStdU16String(info.pszTitle));
    p.page->Activate(p.tab, RECT{0, 0, info.size.cx, info.size.cy}, true);
  }
}

QDialogButtonBox* AddButtons(QDialog& dialog, const std::vector<Page>& pages) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, &pages] {
    ApplyAll(pages);
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, &dialog,
                   [&pages] { ApplyAll(pages); });
  return buttons;
}

}  // namespace

HRESULT GstPropertyFrame::Show(OAHWND owner, int x, int y, const std::u16string& caption,
                               const std::vector<UnknownPtr>& objects, const std::vector<CLSID>& ids, LCID) {
  std::vector<Page> pages = MakePages(ids, objects);
  if (pages.empty()) return E_INVALIDARG;
  QDialog dialog(owner);
  dialog.setWindowTitle(QString::fromStdU16String(caption));
  dialog.setModal(true);
  if (owner) dialog.move(owner->mapToGlobal(QPoint(x, y)));
  auto* layout = new QVBoxLayout(&dialog);
  auto* tabs = new QTabWidget;
  layout->addWidget(tabs);
  AddTabs(*tabs, pages);
  layout->addWidget(AddButtons(dialog, pages));
  if (TestExec()) TestExec()(dialog);
  else dialog.exec();
  for (const Page& p : pages) p.page->Deactivate();
  return S_OK;
}

void GstPropertyFrame::SetExecForTesting(Exec exec) { TestExec() = std::move(exec); }

}  // namespace media::gst
