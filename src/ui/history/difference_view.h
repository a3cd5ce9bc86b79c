// The listing of differences between two images that the compare window and
// the review before programming share: the fields page by page with both
// values, each map with differences as its grid with the differing cells
// coloured and both values in them. With choices, every difference has a
// box (all ticked at first). The upper value of a cell and the left value
// of a field are always the editor's (what would be programmed), the other
// the unit's or the file's; each map says so above its grid.
#pragma once

#include <QStringList>
#include <QTabWidget>
#include <functional>
#include <utility>
#include <vector>

#include "editor/compare.h"
#include "lang/catalog.h"
#include "model/derived.h"
#include "model/image.h"

class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmor::ui {

class DifferenceView : public QTabWidget {
  Q_OBJECT
 public:
  explicit DifferenceView(QWidget* parent = nullptr);

  // `headers`: the field column and the two value columns. `shown` and its
  // tables give the maps' rpm axes and the values of unchanged cells.
  void Show(const std::vector<ImageDifference>& diffs, const ParameterImage& shown, const DerivedTables& shownTables,
            const QStringList& headers, bool withChoices, LanguageCode language);
  // The indexes into the differences shown whose box is ticked.
  std::vector<int> Chosen() const;
  // Ticks the differences whose index `ticked` accepts, unticks the rest.
  void SetTicks(const std::function<bool(int index)>& ticked);

 protected:
  // Space over a drag selection of map cells ticks them all, or unticks
  // them all when every one is ticked.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<std::pair<QTreeWidgetItem*, int>> treeItems_;
  std::vector<QTableWidget*> grids_;
};

}  // namespace velmor::ui
