// Saves a PNG of every page (and of the three map pages with the map editor)
// into a folder, optionally with the texts of another language applied, so
// that the layout can be looked at without the window:
//   page_screenshots <folder> [ENGLISH|DEUTSCH|FRENCH|CESKY]
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <cstdio>

#include "lang/catalog.h"
#include "page_host.h"

using namespace velmor;
using namespace velmor::ui;

namespace {

// What the map view shows on the advance page: no time labels, the extra
// fields named by their header labels, no mode label, no "Ms".
void ShowAdvanceView(const MapPanelWidgets& m, LanguageCode language) {
  for (QLabel* l : m.CellTimeLabel) l->hide();
  m.Ms->hide();
  m.HeaderLabel[5]->hide();
  const int fieldLeft = m.Tps->x() + 70;
  m.HeaderLabel[0]->setText(QString::fromStdString(CatalogText(MsgKey::TxtBaseAdvance, language)));
  m.HeaderLabel[0]->move(fieldLeft + 55, m.HeaderLabel[0]->y());
  m.HeaderLabel[1]->setText(QString::fromStdString(CatalogText(MsgKey::TxtCylCorrection, language)));
  m.HeaderLabel[1]->move(fieldLeft + 55 + 120 + 55 + 55, m.HeaderLabel[1]->y());
}

void ShowInjectionView(const MapPanelWidgets& m) {
  m.Ms->show();
  m.Tps->hide();
  for (QWidget* w : m.ExtraEdit) w->parentWidget()->hide();
  for (int j = 0; j < 5; ++j) m.HeaderLabel[j]->hide();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: page_screenshots <folder> [ENGLISH|DEUTSCH|FRENCH|CESKY]\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  LanguageCode language = LanguageCode::English;
  if (argc > 2) {
    const QString word = QString::fromLocal8Bit(argv[2]);
    const char* words[] = {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"};
    for (int i = 0; i < 4; ++i)
      if (word == words[i]) language = static_cast<LanguageCode>(i);
  }

  testing::PageHost host = testing::BuildPageHost();
  testing::ApplyCaptions(host.Tabs, language);
  host.Tabs->show();
  for (int p = 0; p < PageCount; ++p) {
    if (p == PageAdvance) ShowAdvanceView(host.Map, language);
    if (p == PageInj1 || p == PageInj2) {
      ShowInjectionView(host.Map);
      PutMapPanelOn(host.Map, host.Sheets[p]);
    }
    host.Tabs->setCurrentIndex(p);
    app.processEvents();
    const QString file = QString("%1/%2_%3.png").arg(folder).arg(p, 2, 10, QChar('0')).arg(testing::SheetName(p));
    if (!host.Tabs->grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  delete host.Tabs;
  return 0;
}
