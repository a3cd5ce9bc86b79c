// Pieces the window tests share: the scripted unit behind its port (shared
// with the core tests), a fixture that makes the window over it, and
// helpers that find controls by name and click, type and press keys on them.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/undo.h"
#include "ui/window/form_hlav.h"
#include "scripted_unit.h"
#include "ui/widgets/up_down.h"

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

// A name the core gives a control, as Qt takes it.
inline QString N(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }

// Bytes of the parameter area that differ between two images.
inline std::vector<int> Differences(const ParameterImage& a, const ParameterImage& b) {
  std::vector<int> d;
  for (int n = 0; n < kParamSize; ++n) {
    if (a.P(n) != b.P(n)) d.push_back(n);
  }
  return d;
}

// A window's controls and actions, found by name.
template <typename T>
T* Get(ui::TFormHlav& w, const QString& name) {
  return w.findChild<T*>(name);
}
inline QTabWidget* Tabs(ui::TFormHlav& w) { return Get<QTabWidget>(w, "PageControl1"); }
inline QAction* Action(ui::TFormHlav& w, const char* name) { return Get<QAction>(w, name); }
inline int UndoSteps(ui::TFormHlav& w) { return UndoDepth(w.Undo()); }

// Steps a spinner and checks the step reached the image.
inline void Bump(ui::TFormHlav& w, const char* spinner, bool up = true) {
  const ParameterImage before = w.Image();
  QVERIFY2(ClickArrow(Get<ui::UpDown>(w, spinner), up), spinner);
  QVERIFY2(before != w.Image(), spinner);
}

// `n` ticks of the link, as the window's 55 ms timer would give them.
inline void Ticks(ui::TFormHlav& w, int n) {
  for (int i = 0; i < n; ++i) w.Timer1Timer();
}

// How a test class's windows start.
struct WindowSetup {
  enum Showing { Hidden, Shown, Active };
  // Under the test's temporary directory; empty: that directory itself.
  QString configDir = "config";
  QString programDir = "program";
  Showing showing = Active;  // Active: keys and shortcuts reach the window
  QMessageBox::StandardButton answer = QMessageBox::Yes;  // to every question, unless a test changes answer_
};

// A test class's windows over a ScriptedPort, each on a fresh temporary
// directory, without the tick's timer: the test ticks. Modal questions,
// messages and file dialogs go through the window's hooks and are recorded.
// A test class derives from it and calls Reset() in its init().
class WindowFixture {
 protected:
  explicit WindowFixture(WindowSetup setup = {}) : setup_(std::move(setup)) {}

  void Reset() {
    dir_ = std::make_unique<QTemporaryDir>();
    if (!setup_.programDir.isEmpty()) QDir(dir_->path()).mkpath(setup_.programDir);
    port_ = ScriptedPort();
    messages_.clear();
    questions_.clear();
    dialogs_.clear();
    chosenFile_.clear();
    answer_ = setup_.answer;
  }

  QString Under(const QString& name) const { return name.isEmpty() ? dir_->path() : dir_->filePath(name); }

  ui::FormOptions Options(std::vector<std::string> args = {}) const {
    ui::FormOptions o;
    o.ConfigDir = Under(setup_.configDir).toStdString();
    o.ProgramDir = Under(setup_.programDir).toStdString();
    o.Arguments = std::move(args);
    o.StartTimer = false;
    return o;
  }

  // The window with the fixture's recorders as its dialogs from the start,
  // where the test did not bring its own.
  std::unique_ptr<ui::TFormHlav> Open(ui::FormOptions o) {
    ui::WindowDialogs& d = o.Dialogs;
    if (!d.AskYesNoCancel) {
      d.AskYesNoCancel = [this](const QString& text) {
        questions_ << text;
        return answer_;
      };
    }
    if (!d.ShowMessageBox) d.ShowMessageBox = [this](const QString& text) { messages_ << text; };
    if (!d.ChooseFile) {
      d.ChooseFile = [this](bool save, const QString& start) {
        dialogs_ << (save ? "save:" : "open:") + start;
        return chosenFile_;
      };
    }
    auto w = std::make_unique<ui::TFormHlav>(port_, std::move(o));
    if (setup_.showing == WindowSetup::Hidden) return w;
    w->show();
    if (setup_.showing == WindowSetup::Active) {
      w->activateWindow();
      if (!QTest::qWaitForWindowActive(w.get())) qWarning("window not active: shortcuts will not reach it");
    }
    return w;
  }

  // A window on the test's directories, with `args` as its command line.
  std::unique_ptr<ui::TFormHlav> Make(std::vector<std::string> args = {}) { return Open(Options(std::move(args))); }

  WindowSetup setup_;
  std::unique_ptr<QTemporaryDir> dir_;
  ScriptedPort port_;
  QStringList messages_;   // every message box's text
  QStringList questions_;  // every question asked
  QStringList dialogs_;    // "open:" or "save:" and the name each file dialog started with
  QMessageBox::StandardButton answer_ = QMessageBox::Yes;
  QString chosenFile_;     // what every file dialog returns; empty: cancelled
};

}  // namespace velmor::wtest
