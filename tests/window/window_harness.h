// Pieces the window tests share: the scripted unit behind its port (shared
// with the core tests), and helpers that click, type and press keys on
// controls found by name.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <algorithm>

#include "scripted_unit.h"
#include "up_down.h"

namespace velmor::wtest {

using testsupport::EchoBlockWrites;
using testsupport::MonitorFrame;
using testsupport::ScriptedPort;
using testsupport::ScriptedUnit;
using testsupport::UnitWithMemory;

// Clicks the up or down arrow of a spinner.
inline bool ClickArrow(ui::UpDown* spinner, bool up) {
  if (!spinner) return false;
  for (QToolButton* b : spinner->findChildren<QToolButton*>()) {
    if (b->arrowType() == (up ? Qt::UpArrow : Qt::DownArrow)) {
      QTest::mouseClick(b, Qt::LeftButton);
      return true;
    }
  }
  return false;
}

// A click on a button's left edge, where a check box has its indicator.
inline void ClickButton(QAbstractButton* b) {
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(6, b->width() / 2), b->height() / 2));
}

// Types a text into an edit box and presses Enter there.
inline void TypeAndEnter(QLineEdit* e, const QString& text) {
  e->setFocus();
  e->setText(text);
  QTest::keyClick(e, Qt::Key_Return);
}

// Clicks the tab of a page.
inline void ClickTab(QTabWidget* tabs, int page) {
  QTabBar* bar = tabs->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

}  // namespace velmor::wtest
