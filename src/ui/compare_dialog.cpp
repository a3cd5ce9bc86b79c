#include "compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "form_hlav.h"
#include "model/fields.h"

namespace velmor::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kDifferent(255, 220, 120);

// The map cell fields of a page by cell index.
std::map<int, const FieldDef*> MapCellFields(int page) {
  std::map<int, const FieldDef*> cells;
  for (const FieldDef& f : EditorFields())
    if (f.Page == page && f.Grid == FieldGrid::MapCells) cells[f.Cell] = &f;
  return cells;
}

}  // namespace

CompareDialog::CompareDialog(TFormHlav& window, const ParameterImage& other, const QString& otherName)
    : QDialog(&window), window_(window), other_(other) {
  setObjectName("CompareDialog");
  setWindowTitle("Compare with " + otherName);
  RefreshPercentMaps(other_, otherTables_);
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName("LabelCompareSummary");
  layout->addWidget(summary_);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TabCompare");
  layout->addWidget(tabs_, 1);
  auto* buttons = new QDialogButtonBox(this);
  apply_ = buttons->addButton("Apply", QDialogButtonBox::ApplyRole);
  apply_->setObjectName("ButtonCompareApply");
  apply_->setToolTip("Take the chosen values into the editor as one change");
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setObjectName("ButtonCompareClose");
  connect(apply_, &QPushButton::clicked, this, &CompareDialog::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  headerLabels_ = {"Field", "Editor", otherName};
  resize(900, 560);
  Rebuild();
}

void CompareDialog::Rebuild() {
  DerivedTables editorTables = window_.Tables();
  RefreshPercentMaps(window_.Image(), editorTables);
  diffs_ = DiffImages(window_.Image(), editorTables, other_, otherTables_);
  treeItems_.clear();
  gridPages_.clear();
  while (tabs_->count() > 0) {
    QWidget* page = tabs_->widget(0);
    tabs_->removeTab(0);
    page->deleteLater();
  }
  summary_->setText(diffs_.empty() ? "No differences." : QString("%1 differences; the chosen ones are applied.").arg(diffs_.size()));
  apply_->setEnabled(!diffs_.empty());
  if (diffs_.empty()) return;

  // The fields, grouped by page, each with a box to choose it.
  tree_ = new QTreeWidget;
  tree_->setObjectName("TreeCompare");
  tree_->setColumnCount(3);
  tree_->setHeaderLabels(headerLabels_);
  std::map<std::string, QTreeWidgetItem*> pages;
  std::map<int, std::vector<int>> mapCells;  // page -> differences
  for (int i = 0; i < static_cast<int>(diffs_.size()); ++i) {
    const ImageDifference& d = diffs_[i];
    if (d.IsMapCell()) {
      mapCells[d.Page].push_back(i);
      continue;
    }
    QTreeWidgetItem*& group = pages[d.PageText];
    if (group == nullptr) {
      group = new QTreeWidgetItem(tree_, {Q(d.PageText)});
      group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
      group->setExpanded(true);
    }
    auto* item = new QTreeWidgetItem(group, {Q(d.Caption), Q(d.ValueA), Q(d.ValueB)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    treeItems_.emplace_back(item, i);
  }
  for (auto& [name, group] : pages) group->setExpanded(true);
  if (!treeItems_.empty()) {
    tree_->expandAll();
    tree_->resizeColumnToContents(0);
    tabs_->addTab(tree_, "Fields");
  } else {
    delete tree_;
    tree_ = nullptr;
  }

  // Each map with differences as its grid: rows by throttle, columns by the
  // editor's rpm axis; differing cells coloured, both values, a box each.
  for (const auto& [page, indexes] : mapCells) {
    auto* grid = new QTableWidget(kMapRows, kMapColumns);
    grid->setObjectName(QString("GridCompare%1").arg(page));
    const int axis = MapAxisOffset(page);
    QStringList columns, rows;
    for (int c = 0; c < kMapColumns; ++c) columns << QString::number(window_.Image().P(axis + c) * 100);
    for (int r = 0; r < kMapRows; ++r) rows << Q(MapRowCaption(r));
    grid->setHorizontalHeaderLabels(columns);
    grid->setVerticalHeaderLabels(rows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const auto& [cell, field] : MapCellFields(page)) {
      auto* item = new QTableWidgetItem(Q(FieldValueText(*field, window_.Image(), editorTables)));
      item->setFlags(Qt::ItemIsEnabled);
      item->setForeground(Qt::gray);
      grid->setItem(field->Row, field->Column, item);
    }
    for (int i : indexes) {
      const ImageDifference& d = diffs_[i];
      auto* item = new QTableWidgetItem(Q(d.ValueA) + "\n" + Q(d.ValueB));
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Checked);
      item->setBackground(kDifferent);
      item->setData(Qt::UserRole, i);
      item->setToolTip(Q(d.Caption) + "\nEditor: " + Q(d.ValueA) + "\n" + headerLabels_.back() + ": " + Q(d.ValueB));
      grid->setItem(d.Row, d.Column, item);
    }
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();
    gridPages_.emplace_back(grid, page);
    tabs_->addTab(grid, QString("%1 (%2 cells)").arg(Q(std::string(PageCaption(page)))).arg(indexes.size()));
  }
}

std::vector<ImageDifference> CompareDialog::Chosen() const {
  std::vector<ImageDifference> chosen;
  for (const auto& [item, index] : treeItems_)
    if (item->checkState(0) == Qt::Checked) chosen.push_back(diffs_[index]);
  for (const auto& [grid, page] : gridPages_) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      for (int c = 0; c < grid->columnCount(); ++c) {
        const QTableWidgetItem* item = grid->item(r, c);
        if (item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked)
          chosen.push_back(diffs_[item->data(Qt::UserRole).toInt()]);
      }
    }
  }
  return chosen;
}

void CompareDialog::Apply() {
  // Not while a Read fills the image: the page would be committed over it.
  if (!window_.Link().AcceptsPageCommit()) return;
  const std::vector<ImageDifference> chosen = Chosen();
  if (chosen.empty()) return;
  window_.TransferPage();
  ApplyDifferences(window_.Image(), other_, chosen);
  RefreshPercentMaps(window_.Image(), window_.Tables());
  window_.AfterChange();
  Rebuild();
}

}  // namespace velmor::ui
