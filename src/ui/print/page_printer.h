// The printout: the window itself, prepared for paper and drawn scaled to a
// landscape page on the default printer, or into a PDF where the system has
// no printer. The window hands the widgets concerned over as plain widgets,
// so that printing knows nothing of how the window is built.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "lang/catalog.h"
#include "link/engine.h"

class QLabel;
class QStatusBar;
class QTabWidget;
class QWidget;

namespace velmor::ui {

// The widgets a printout changes or draws.
struct PrintSurface {
  QWidget* Window = nullptr;  // white on paper; the controls the core's print view leaves off hide
  QWidget* Client = nullptr;  // what is drawn onto the page
  QTabWidget* Pages = nullptr;  // only the shown page keeps its tab
  std::vector<QLabel*> WhiteLabels;  // white on paper and after it
  QLabel* Header = nullptr;  // turns white and carries the date line
  // Hidden for the printout so that the header line has their room; the
  // view shows them again as the link's state asks.
  std::vector<QWidget*> MakeRoom;
  QStatusBar* StatusBar = nullptr;  // keeps where a PDF went
};

// Hides (or shows again) what the core's print view leaves off paper, the
// tabs of the pages other than `page`, and paints the window's background
// white.
void SetPrintLayout(const PrintSurface& surface, int page, bool printing);

struct PrintResult {
  bool Ok = false;
  QString PdfFile;  // empty when the page went to a printer
};
// Draws `client` onto one page; `now` names a PDF.
PrintResult PrintWidget(QWidget* client, const QDateTime& now);

// The window's print command: the page shown, headed by the date and time,
// and the window back as it was.
class PagePrinter {
 public:
  struct Hooks {
    std::function<int()> Page;      // the page shown
    std::function<void()> Refresh;  // the window's view, after the printout
  };
  PagePrinter(PrintSurface surface, LinkEngine& link, const ResolvedTexts& texts, Hooks hooks);

  void Print();
  // The window is laid out for paper (the link leaves the header alone).
  bool Printing() const { return printing_; }
  // The PDF the last printout went to (empty when it went to a printer).
  const std::string& LastPrintFile() const { return lastPrintFile_; }

 private:
  void SetPrinting(bool printing);

  PrintSurface surface_;
  LinkEngine& link_;
  const ResolvedTexts& texts_;
  Hooks hooks_;
  bool printing_ = false;
  std::string lastPrintFile_;
};

}  // namespace velmor::ui
