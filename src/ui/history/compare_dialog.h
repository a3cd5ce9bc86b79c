// The compare window: what differs between the editor's image and another
// one (a file, a history entry, the unit), page by page in the editor's
// units with both values side by side; map differences as the map's grid
// with the differing cells coloured and both values in them. Every
// difference starts chosen; Apply takes the chosen values into the editor
// as one change, and what it took leaves the list while the rest keep their
// ticks.
#pragma once

#include <QDialog>
#include <QStringList>
#include <set>
#include <utility>
#include <vector>

#include "editor/compare.h"
#include "lang/history_texts.h"
#include "model/derived.h"
#include "model/image.h"

class QLabel;
class QPushButton;

namespace velmor::ui {

class DifferenceView;
class Session;

class CompareDialog : public QDialog {
  Q_OBJECT
 public:
  // `otherName` says what the editor is compared with ("the unit", a file).
  CompareDialog(Session& window, const ParameterImage& other, const QString& otherName);


  // The differences as listed now (after an Apply, those left).
  const std::vector<ImageDifference>& Differences() const { return diffs_; }
  // Takes the chosen differences into the editor: one undo step.
  void Apply();

 private:
  // Lists the differences anew; those whose key is in `unticked` start
  // without a tick.
  void Rebuild(const std::set<std::pair<int, int>>& unticked = {});
  QString Text(HistoryText text) const;

  Session& window_;
  ParameterImage other_;
  DerivedTables otherTables_;
  std::vector<ImageDifference> diffs_;
  QLabel* summary_ = nullptr;
  DifferenceView* list_ = nullptr;
  QPushButton* apply_ = nullptr;
  QStringList headerLabels_;
};

}  // namespace velmor::ui
