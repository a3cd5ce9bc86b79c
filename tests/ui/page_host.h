// The thirteen pages in a tab control of the main window's width, built the
// way the window builds them, without the window: for the page tests and the
// screenshot tool.
#pragma once

#include <QTabWidget>
#include <array>

#include "lang/catalog.h"
#include "model/image.h"
#include "ui/map/map_panel.h"
#include "ui/pages/pages.h"

namespace velmor::ui::testing {

struct PageHost {
  QTabWidget* Tabs = nullptr;
  std::array<QWidget*, PageCount> Sheets{};
  MapPanelWidgets Map{};
};

// Builds the tab control (990 pixels wide) with every page filled. The caller
// owns Tabs.
PageHost BuildPageHost();

// Applies the captions, radio-group items and hints of a language by object
// name with the window's own code (ApplyControlTexts).
void ApplyCaptions(QWidget* root, LanguageCode language);

// Object name of sheet `page`.
const char* SheetName(int page);

}  // namespace velmor::ui::testing
