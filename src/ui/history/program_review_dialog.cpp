#include "ui/history/program_review_dialog.h"
#include "ui/widgets/widgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/history/difference_view.h"
#include "lang/history_texts.h"

namespace velmor::ui {

ProgramReviewDialog::ProgramReviewDialog(const ParameterImage& unit, const ParameterImage& toProgram,
                                         const QString& unitName, LanguageCode language, QWidget* parent)
    : QDialog(parent) {
  const auto text = [language](HistoryText t) { return QString::fromUtf8(HistoryCaption(t, language)); };
  setObjectName("ProgramReviewDialog");
  setWindowTitle(text(HistoryText::ReviewTitle));
  auto* layout = new QVBoxLayout(this);
  auto* summary = new QLabel(this);
  summary->setObjectName("LabelReviewSummary");
  summary->setWordWrap(true);
  layout->addWidget(summary);

  DerivedTables unitTables, programTables;
  RefreshPercentMaps(unit, unitTables);
  RefreshPercentMaps(toProgram, programTables);
  // The editor's values first, as the compare window shows them.
  diffs_ = DiffImages(toProgram, programTables, unit, unitTables);
  summary->setText(text(HistoryText::ReviewAgainstUnit).arg(unitName) + "\n" +
                   (diffs_.empty() ? text(HistoryText::ReviewNoChanges)
                                   : Counted(text(HistoryText::ReviewCount), language, static_cast<long long>(diffs_.size())).arg(diffs_.size())));
  if (!diffs_.empty()) {
    auto* list = new DifferenceView(this);
    list->setObjectName("TabReview");
    list->Show(diffs_, toProgram, programTables,
               {text(HistoryText::ColumnField), text(HistoryText::ColumnAfterProgram),
                text(HistoryText::ColumnInUnit)},
               false, language);
    layout->addWidget(list, 1);
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* program = buttons->addButton(text(HistoryText::ReviewProgram), QDialogButtonBox::AcceptRole);
  program->setObjectName("ButtonReviewProgram");
  QPushButton* cancel = buttons->addButton(text(HistoryText::Cancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("ButtonReviewCancel");
  // Enter must not program by accident.
  program->setAutoDefault(false);
  cancel->setDefault(true);
  connect(program, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(diffs_.empty() ? QSize(520, 160) : QSize(900, 560));
}

}  // namespace velmor::ui
