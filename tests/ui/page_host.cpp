#include "page_host.h"

#include "model/fields.h"
#include "ui/window/view_applier.h"
#include "ui/window/window_layout.h"

namespace velmor::ui::testing {

const char* SheetName(int page) { return ui::SheetName(page).data(); }

PageHost BuildPageHost() {
  PageHost host;
  host.Tabs = new QTabWidget;
  host.Tabs->setObjectName("PageControl1");
  host.Tabs->resize(990, 520);
  for (int p = 0; p < PageCount; ++p) {
    auto* sheet = new QWidget;
    sheet->setObjectName(SheetName(p));
    host.Sheets[p] = sheet;
    host.Tabs->addTab(sheet, QString::fromUtf8(PageCaption(p).data(), static_cast<qsizetype>(PageCaption(p).size())));
  }
  host.Map = BuildMapPanel(host.Sheets[PageAdvance]);
  for (int p = 0; p < PageCount; ++p)
    if (p < PageAdvance || p > PageInj2) BuildPage(p, host.Sheets[p]);
  return host;
}

void ApplyCaptions(QWidget* root, LanguageCode language) {
  ApplyControlTexts(root, qobject_cast<QTabWidget*>(root), language);
}

}  // namespace velmor::ui::testing
