#include "ui/history/difference_view.h"
#include "ui/widgets/widgets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <string>

#include "lang/control_texts.h"
#include "lang/history_texts.h"
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

DifferenceView::DifferenceView(QWidget* parent) : QTabWidget(parent) {}

void DifferenceView::Show(const std::vector<ImageDifference>& diffs, const ParameterImage& shown,
                          const DerivedTables& shownTables, const QStringList& headers, bool withChoices,
                          LanguageCode language) {
  const auto text = [language](HistoryText t) { return QString::fromUtf8(HistoryCaption(t, language)); };
  treeItems_.clear();
  grids_.clear();
  while (count() > 0) {
    QWidget* page = widget(0);
    removeTab(0);
    page->deleteLater();
  }
  if (diffs.empty()) return;
  const auto choosable = [withChoices](Qt::ItemFlags flags) {
    return withChoices ? flags | Qt::ItemIsUserCheckable : flags & ~Qt::ItemIsUserCheckable;
  };

  // The fields, grouped by page.
  auto* tree = new QTreeWidget;
  tree->setObjectName("TreeCompare");
  tree->setColumnCount(3);
  tree->setHeaderLabels(headers);
  std::map<std::string, QTreeWidgetItem*> pages;
  std::map<int, std::vector<int>> mapCells;  // page -> differences
  for (int i = 0; i < static_cast<int>(diffs.size()); ++i) {
    const ImageDifference& d = diffs[i];
    if (d.IsMapCell()) {
      mapCells[d.Page].push_back(i);
      continue;
    }
    QTreeWidgetItem*& group = pages[d.PageText];
    if (group == nullptr) {
      group = new QTreeWidgetItem(tree, {Q(d.PageText)});
      if (withChoices) group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    }
    auto* item = new QTreeWidgetItem(group, {Q(d.Caption), Q(d.ValueA), Q(d.ValueB)});
    item->setFlags(choosable(item->flags()));
    if (withChoices) item->setCheckState(0, Qt::Checked);
    treeItems_.emplace_back(item, i);
  }
  if (!treeItems_.empty()) {
    tree->expandAll();
    tree->resizeColumnToContents(0);
    addTab(tree, text(HistoryText::FieldsTab));
  } else {
    delete tree;
  }

  // Rows by throttle, columns by the rpm axis of the image shown.
  for (const auto& [page, indexes] : mapCells) {
    auto* grid = new QTableWidget(kMapRows, kMapColumns);
    grid->setObjectName(QString("GridCompare%1").arg(page));
    const int axis = MapAxisOffset(page);
    QStringList columns, rows;
    for (int c = 0; c < kMapColumns; ++c) columns << QString::number(shown.P(axis + c) * 100);
    for (int r = 0; r < kMapRows; ++r) rows << Q(MapRowCaption(r));
    grid->setHorizontalHeaderLabels(columns);
    grid->setVerticalHeaderLabels(rows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const auto& [cell, field] : MapCellFields(page)) {
      auto* item = new QTableWidgetItem(Q(FieldValueText(*field, shown, shownTables)));
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      item->setForeground(Qt::gray);
      grid->setItem(field->Row, field->Column, item);
    }
    for (int i : indexes) {
      const ImageDifference& d = diffs[i];
      auto* item = new QTableWidgetItem(Q(d.ValueA) + "\n" + Q(d.ValueB));
      item->setFlags(choosable(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
      if (withChoices) item->setCheckState(Qt::Checked);
      item->setBackground(kDifferent);
      item->setData(Qt::UserRole, i);
      item->setToolTip(Q(d.Caption) + "\n" + headers.value(1) + ": " + Q(d.ValueA) + "\n" + headers.value(2) + ": " +
                       Q(d.ValueB));
      grid->setItem(d.Row, d.Column, item);
    }
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();
    if (withChoices) grid->installEventFilter(this);
    grids_.push_back(grid);
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    QString legend = text(HistoryText::CellLegend).arg(headers.value(1), headers.value(2));
    if (withChoices) legend += " " + text(HistoryText::SpaceTicks);
    auto* label = new QLabel(legend, tab);
    label->setObjectName(QString("LabelLegend%1").arg(page));
    label->setWordWrap(true);
    column->addWidget(label);
    column->addWidget(grid, 1);
    addTab(tab, Counted(text(HistoryText::MapTab), language, static_cast<long long>(indexes.size()), 2)
                     .arg(Q(PageTabCaption(page, language)))
                     .arg(indexes.size()));
  }
}

void DifferenceView::SetTicks(const std::function<bool(int)>& ticked) {
  for (const auto& [item, index] : treeItems_)
    if (item->flags() & Qt::ItemIsUserCheckable) item->setCheckState(0, ticked(index) ? Qt::Checked : Qt::Unchecked);
  for (QTableWidget* grid : grids_) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      for (int c = 0; c < grid->columnCount(); ++c) {
        QTableWidgetItem* item = grid->item(r, c);
        if (item && (item->flags() & Qt::ItemIsUserCheckable))
          item->setCheckState(ticked(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
      }
    }
  }
}

bool DifferenceView::eventFilter(QObject* watched, QEvent* event) {
  auto* grid = qobject_cast<QTableWidget*>(watched);
  if (grid == nullptr || event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space)
    return QTabWidget::eventFilter(watched, event);
  std::vector<QTableWidgetItem*> cells;
  for (QTableWidgetItem* item : grid->selectedItems())
    if (item->flags() & Qt::ItemIsUserCheckable) cells.push_back(item);
  if (cells.empty()) return true;
  const bool allTicked =
      std::all_of(cells.begin(), cells.end(), [](const QTableWidgetItem* i) { return i->checkState() == Qt::Checked; });
  for (QTableWidgetItem* item : cells) item->setCheckState(allTicked ? Qt::Unchecked : Qt::Checked);
  return true;
}

std::vector<int> DifferenceView::Chosen() const {
  std::vector<int> chosen;
  for (const auto& [item, index] : treeItems_)
    if ((item->flags() & Qt::ItemIsUserCheckable) && item->checkState(0) == Qt::Checked) chosen.push_back(index);
  for (const QTableWidget* grid : grids_) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      for (int c = 0; c < grid->columnCount(); ++c) {
        const QTableWidgetItem* item = grid->item(r, c);
        if (item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked)
          chosen.push_back(item->data(Qt::UserRole).toInt());
      }
    }
  }
  return chosen;
}

}  // namespace velmor::ui
