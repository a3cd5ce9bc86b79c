#include "page_host.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "lang/control_texts.h"
#include "model/fields.h"
#include "widgets.h"

namespace velmor::ui::testing {
namespace {

constexpr const char* kSheetNames[PageCount] = {
    "TabSheet_Bike",  "TabSheet_Advance", "TabSheet_Inj1A", "TabSheet_Inj2A", "TabSheet_Poloha",
    "TabSheet_Korekce", "TabSheet_Cidla", "TabSheet_Idle",  "TabSheet_Gas",   "TabSheet_Gear",
    "TabSheet_Race",  "TabSheet_Ladeni",  "TabSheet_Monitor"};

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

const char* SheetName(int page) { return page >= 0 && page < PageCount ? kSheetNames[page] : ""; }

PageHost BuildPageHost() {
  PageHost host;
  host.Tabs = new QTabWidget;
  host.Tabs->setObjectName("PageControl1");
  host.Tabs->resize(990, 520);
  for (int p = 0; p < PageCount; ++p) {
    auto* sheet = new QWidget;
    sheet->setObjectName(kSheetNames[p]);
    host.Sheets[p] = sheet;
    host.Tabs->addTab(sheet, Q(PageCaption(p)));
  }
  host.Map = BuildMapPanel(host.Sheets[PageAdvance]);
  for (int p = 0; p < PageCount; ++p)
    if (p < PageAdvance || p > PageInj2) BuildPage(p, host.Sheets[p]);
  return host;
}

void ApplyCaptions(QWidget* root, LanguageCode language) {
  for (const ControlText& t : ControlTexts(language)) {
    const QString name = Q(t.component);
    const QString text = Q(t.text);
    switch (t.property) {
      case TextProperty::Hint: break;
      case TextProperty::Items:
      case TextProperty::Item:
        if (auto* r = root->findChild<RadioGroup*>(name)) {
          if (t.property == TextProperty::Item) {
            r->SetItem(t.item, text);
          } else {
            QStringList items;
            for (const std::string& s : SplitItemList(t.text)) items << QString::fromStdString(s);
            r->SetItems(items);
          }
        }
        break;
      case TextProperty::Caption:
        if (QWidget* w = root->findChild<QWidget*>(name)) {
          if (auto* tabs = qobject_cast<QTabWidget*>(root); tabs && tabs->indexOf(w) >= 0) {
            tabs->setTabText(tabs->indexOf(w), text);
          } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(text);
          } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(text);
          } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(text);
          }
        }
        break;
    }
  }
}

}  // namespace velmor::ui::testing
