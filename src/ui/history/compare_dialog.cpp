#include "ui/history/compare_dialog.h"
#include "ui/widgets/widgets.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/history/difference_view.h"
#include "ui/session/session.h"
#include "lang/history_texts.h"
#include "model/fields.h"

namespace velmor::ui {
namespace {

// A difference stays the same one across a rebuild: the field and its bytes.
std::pair<int, int> Key(const ImageDifference& d) { return {d.FieldIndex, d.Offset}; }

}  // namespace

CompareDialog::CompareDialog(Session& window, const ParameterImage& other, const QString& otherName)
    : QDialog(&window.Window()), window_(window), other_(other) {
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
  QPushButton* all = buttons->addButton(Text(HistoryText::TickAll), QDialogButtonBox::ActionRole);
  all->setObjectName("ButtonCompareTickAll");
  QPushButton* none = buttons->addButton(Text(HistoryText::TickNone), QDialogButtonBox::ActionRole);
  none->setObjectName("ButtonCompareTickNone");
  // Enter in the list must not tick everything again.
  all->setAutoDefault(false);
  none->setAutoDefault(false);
  connect(all, &QPushButton::clicked, this, [this] { list_->SetTicks([](int) { return true; }); });
  connect(none, &QPushButton::clicked, this, [this] { list_->SetTicks([](int) { return false; }); });
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

void CompareDialog::Rebuild(const std::set<std::pair<int, int>>& unticked) {
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
  if (!unticked.empty()) list_->SetTicks([&](int i) { return !unticked.contains(Key(diffs_[i])); });
}

void CompareDialog::Apply() {
  std::vector<ImageDifference> chosen;
  const std::vector<int> ticked = list_->Chosen();
  std::set<std::pair<int, int>> unticked;
  for (const ImageDifference& d : diffs_) unticked.insert(Key(d));
  for (int i : ticked) {
    chosen.push_back(diffs_[i]);
    unticked.erase(Key(diffs_[i]));
  }
  if (chosen.empty()) return;
  window_.TransferPage();
  // Undo and redo show the page the values were taken into.
  const auto onPage = std::find_if(chosen.begin(), chosen.end(), [](const ImageDifference& d) { return d.Page >= 0; });
  window_.ChangeTune(
      [&] {
        ApplyDifferences(window_.Image(), other_, chosen);
        RefreshPercentMaps(window_.Image(), window_.Tables());
        return true;
      },
      onPage == chosen.end() ? -1 : onPage->Page);
  Rebuild(unticked);
}

}  // namespace velmor::ui
