#include "ui/history/history_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "lang/history_texts.h"

namespace velmor::ui {

HistoryDialog::HistoryDialog(const std::string& directory, LanguageCode language, QWidget* parent)
    : QDialog(parent), entries_(ListHistory(directory, true)) {
  const auto text = [language](HistoryText t) { return QString::fromUtf8(HistoryCaption(t, language)); };
  setObjectName("HistoryDialog");
  setWindowTitle(text(HistoryText::HistoryTitle));
  auto* layout = new QVBoxLayout(this);
  auto* where = new QLabel(text(HistoryText::HistoryWhere)
                               .arg(QString::fromStdString(directory))
                               .arg(kHistoryLimit),
                           this);
  where->setWordWrap(true);
  layout->addWidget(where);
  list_ = new QTreeWidget(this);
  list_->setObjectName("TreeHistory");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({text(HistoryText::HistoryTime), text(HistoryText::HistoryKind), text(HistoryText::HistoryUnit),
                          text(HistoryText::HistoryNote)});
  for (const HistoryEntry& e : entries_) {
    new QTreeWidgetItem(list_, {QString::fromStdString(e.TimeText()), text(e.Kind == HistoryKind::Read ? HistoryText::KindRead : HistoryText::KindProgram),
                                QString::fromStdString(e.UnitName), QString::fromStdString(e.NoteFirstLine)});
  }
  for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
  if (!entries_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
  layout->addWidget(list_, 1);

  auto* buttons = new QDialogButtonBox(this);
  open_ = buttons->addButton(text(HistoryText::Open), QDialogButtonBox::AcceptRole);
  open_->setObjectName("ButtonHistoryOpen");
  compare_ = buttons->addButton(text(HistoryText::Compare), QDialogButtonBox::ActionRole);
  compare_->setObjectName("ButtonHistoryCompare");
  QPushButton* close = buttons->addButton(text(HistoryText::Close), QDialogButtonBox::RejectRole);
  close->setObjectName("ButtonHistoryClose");
  open_->setEnabled(!entries_.empty());
  compare_->setEnabled(!entries_.empty());
  layout->addWidget(buttons);
  connect(open_, &QPushButton::clicked, this, [this] {
    if (const HistoryEntry* e = Current(); e && OpenEntry) {
      accept();
      OpenEntry(e->Path);
    }
  });
  connect(compare_, &QPushButton::clicked, this, [this] {
    if (const HistoryEntry* e = Current(); e && CompareEntry) CompareEntry(e->Path);
  });
  connect(list_, &QTreeWidget::itemDoubleClicked, open_, &QPushButton::click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  resize(760, 420);
}

const HistoryEntry* HistoryDialog::Current() const {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  return row >= 0 && row < static_cast<int>(entries_.size()) ? &entries_[row] : nullptr;
}

}  // namespace velmor::ui
