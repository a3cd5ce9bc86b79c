// Why the serial port does not open, from inside the window: Com -> "Port
// diagnostics...", the "Diagnose..." button beside the port while its last
// open failed, and the same choice in the "Com opening error!" message. The
// findings come from the program's port doctor through FormOptions; the
// window only shows them.
#pragma once

#include <QDialog>
#include <QObject>
#include <functional>
#include <string>

#include "lang/catalog.h"
#include "lang/port_texts.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace velmor::ui {

// The doctor's report for port `number` (1..20), or for every port when 0.
using PortReportFunction = std::function<std::string(int number)>;

class PortDoctorDialog : public QDialog {
  Q_OBJECT
 public:
  PortDoctorDialog(PortReportFunction report, QWidget* parent);

  // Shows the report of `number` (0 = every port), looked at afresh.
  void ShowPort(int number);
  void ApplyLanguage(LanguageCode language);
  QString ReportText() const;

 private:
  void Check();

  PortReportFunction report_;
  QLabel* intro_ = nullptr;
  QLabel* portCaption_ = nullptr;
  QComboBox* port_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QPushButton* again_ = nullptr;
  QPushButton* close_ = nullptr;
};

class PortDoctor : public QObject {
  Q_OBJECT
 public:
  // Adds its item to the Com menu and wires the "Diagnose..." button; both
  // stay hidden when there is no doctor (`report` empty).
  // `selectedPort` is the port number the Com menu has chosen (0 for the
  // automatic search).
  PortDoctor(QWidget& window, QMenu* com, QPushButton* diagnose, PortReportFunction report,
             std::function<int()> selectedPort);

  bool Available() const { return static_cast<bool>(report_); }
  // Opens the diagnostics on port `number` (0 = every port).
  void Show(int number);
  // The diagnostics of the port the Com menu has chosen.
  void ShowSelected() { Show(selectedPort_()); }
  // The "Com opening error!" message with a "Diagnose..." choice; true when
  // the tuner chose it. Replaceable for tests.
  std::function<bool(const QString& message)> AskDiagnose;
  void ApplyLanguage(LanguageCode language);
  PortDoctorDialog* Dialog() const { return dialog_; }

 private:
  QWidget& window_;
  PortReportFunction report_;
  std::function<int()> selectedPort_;
  QAction* item_ = nullptr;
  QPushButton* diagnose_ = nullptr;
  PortDoctorDialog* dialog_ = nullptr;
  LanguageCode language_ = LanguageCode::English;
};

}  // namespace velmor::ui
