#include "compare_dialog.h"
#include "widgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "difference_view.h"
#include "form_hlav.h"
#include "lang/history_texts.h"
#include "model/fields.h"

namespace velmor::ui {
CompareDialog::CompareDialog(TFormHlav& window, const ParameterImage& other, const QString& otherName)
    : QDialog(&window), window_(window), other_(other) {
  setObjectName("CompareDialog");
  setWindowTitle(Text(HistoryText::CompareTitle).arg(otherName));
  RefreshPercentMaps(other_, otherTables_);
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName("LabelCompareSummary");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  list_ = new DifferenceView(this);
  list_->setObjectName("TabCompare");
  layout->addWidget(list_, 1);
  auto* buttons = new QDialogButtonBox(this);
  apply_ = buttons->addButton(Text(HistoryText::Apply), QDialogButtonBox::ApplyRole);
  apply_->setObjectName("ButtonCompareApply");
  apply_->setToolTip(Text(HistoryText::ApplyHint));
  QPushButton* close = buttons->addButton(Text(HistoryText::Close), QDialogButtonBox::RejectRole);
  close->setObjectName("ButtonCompareClose");
  connect(apply_, &QPushButton::clicked, this, &CompareDialog::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  headerLabels_ = {Text(HistoryText::ColumnField), Text(HistoryText::ColumnEditor), otherName};
  resize(900, 560);
  Rebuild();
}

QString CompareDialog::Text(HistoryText text) const {
  return QString::fromUtf8(HistoryCaption(text, window_.Language()));
}

void CompareDialog::Rebuild() {
  DerivedTables editorTables = window_.Tables();
  RefreshPercentMaps(window_.Image(), editorTables);
  diffs_ = DiffImages(window_.Image(), editorTables, other_, otherTables_);
  const int following = TakeOutFollowingMap2(diffs_, window_.Image());
  QString summary = diffs_.empty() ? Text(HistoryText::CompareNoDifferences)
                                   : Counted(Text(HistoryText::CompareCount), window_.Language(), static_cast<long long>(diffs_.size()))
                                         .arg(diffs_.size());
  if (following > 0)
    summary += " " + Counted(Text(HistoryText::CompareMap2Follows), window_.Language(), following).arg(following);
  summary_->setText(summary);
  apply_->setEnabled(!diffs_.empty());
  list_->Show(diffs_, window_.Image(), editorTables, headerLabels_, true, window_.Language());
}

void CompareDialog::Apply() {
  std::vector<ImageDifference> chosen;
  for (int i : list_->Chosen()) chosen.push_back(diffs_[i]);
  if (chosen.empty()) return;
  window_.TransferPage();
  window_.ChangeTune([&] {
    ApplyDifferences(window_.Image(), other_, chosen);
    RefreshPercentMaps(window_.Image(), window_.Tables());
    return true;
  });
  Rebuild();
}

}  // namespace velmor::ui
