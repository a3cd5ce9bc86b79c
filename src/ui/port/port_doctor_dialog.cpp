#include "ui/port/port_doctor_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmor::ui {
namespace {

constexpr int kMenuPorts = 20;

QString Caption(PortText text, LanguageCode language) { return QString::fromUtf8(PortCaption(text, language)); }

}  // namespace

PortDoctorDialog::PortDoctorDialog(PortReportFunction report, QWidget* parent)
    : QDialog(parent), report_(std::move(report)) {
  setObjectName("FormPortDoctor");
  auto* layout = new QVBoxLayout(this);
  intro_ = new QLabel(this);
  intro_->setWordWrap(true);
  layout->addWidget(intro_);
  auto* row = new QHBoxLayout;
  portCaption_ = new QLabel(this);
  port_ = new QComboBox(this);
  port_->setObjectName("ComboBoxPortDoctor");
  port_->addItem(QString());
  for (int n = 1; n <= kMenuPorts; ++n) port_->addItem(QString("Com %1").arg(n));
  portCaption_->setBuddy(port_);
  row->addWidget(portCaption_);
  row->addWidget(port_);
  row->addStretch(1);
  layout->addLayout(row);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("MemoPortReport");
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(this);
  again_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
  again_->setObjectName("ButtonCheckAgain");
  close_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
  close_->setObjectName("ButtonClosePortDoctor");
  layout->addWidget(buttons);
  connect(again_, &QPushButton::clicked, this, &PortDoctorDialog::Check);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(port_, &QComboBox::currentIndexChanged, this, &PortDoctorDialog::Check);
  resize(720, 420);
  ApplyLanguage(LanguageCode::English);
}

void PortDoctorDialog::ShowPort(int number) {
  const int index = number >= 1 && number <= kMenuPorts ? number : 0;
  if (port_->currentIndex() != index) port_->setCurrentIndex(index);  // checks it
  else Check();
}

void PortDoctorDialog::Check() {
  // Every look is fresh: an adapter may have been plugged in or a group
  // added since the last one.
  text_->setPlainText(QString::fromStdString(report_(port_->currentIndex())));
}

void PortDoctorDialog::ApplyLanguage(LanguageCode language) {
  setWindowTitle(Caption(PortText::Title, language));
  intro_->setText(Caption(PortText::Intro, language));
  portCaption_->setText(Caption(PortText::Port, language));
  port_->setItemText(0, Caption(PortText::AllPorts, language));
  again_->setText(Caption(PortText::CheckAgain, language));
  close_->setText(Caption(PortText::Close, language));
  // The report is told in the window's language too.
  if (isVisible()) Check();
}

QString PortDoctorDialog::ReportText() const { return text_->toPlainText(); }

PortDoctor::PortDoctor(QWidget& window, QMenu* com, QPushButton* diagnose, PortReportFunction report,
                       std::function<int()> selectedPort)
    : QObject(&window),
      window_(window),
      report_(std::move(report)),
      selectedPort_(std::move(selectedPort)),
      diagnose_(diagnose) {
  com->addSeparator();
  item_ = com->addAction(QString());
  item_->setObjectName("MenuPortDiagnostics");
  item_->setVisible(Available());
  connect(item_, &QAction::triggered, this, [this] { Show(0); });
  if (diagnose_) connect(diagnose_, &QPushButton::clicked, this, &PortDoctor::ShowSelected);
  AskDiagnose = [this](const QString& message) {
    QMessageBox box(QMessageBox::Warning, window_.windowTitle(), message, QMessageBox::Ok, &window_);
    QPushButton* choice = box.addButton(Caption(PortText::Diagnose, language_), QMessageBox::ActionRole);
    choice->setObjectName("ButtonDiagnoseMessage");
    box.exec();
    return box.clickedButton() == choice;
  };
  ApplyLanguage(language_);
}

void PortDoctor::Show(int number) {
  if (!Available()) return;
  if (!dialog_) {
    dialog_ = new PortDoctorDialog(report_, &window_);
    dialog_->ApplyLanguage(language_);
  }
  dialog_->ShowPort(number);
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void PortDoctor::ApplyLanguage(LanguageCode language) {
  language_ = language;
  item_->setText(Caption(PortText::MenuPortDiagnostics, language));
  if (diagnose_) {
    diagnose_->setText(Caption(PortText::Diagnose, language));
    diagnose_->setToolTip(Caption(PortText::DiagnoseHint, language));
  }
  if (dialog_) dialog_->ApplyLanguage(language);
}

}  // namespace velmor::ui
