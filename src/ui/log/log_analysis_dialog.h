// "Analyse log...": injection-map corrections from a log, shown over the
// map's grid. Cells are coloured by the change they would get (lean: more
// fuel, rich: less), cells with too few rows are grey, and the tooltip gives
// the rows, the mean A/F and the percentages. Apply writes the selected
// cells into the map as one edit of the window; the cells selected at first
// are those with a change that still hold what their rows were ridden on.
#pragma once

#include <QDialog>
#include <functional>
#include <limits>
#include <optional>

#include "lang/catalog.h"
#include "lang/log_texts.h"
#include "log/map_analysis.h"

class QCheckBox;
class QComboBox;
class QTabWidget;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace velmor::ui {

class Session;

class LogAnalysisDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LogAnalysisDialog(Session& window);

  // Reads the log and analyses its rows from `fromMs` up to `toMs`, each
  // against the tune it was ridden on (kept beside it by the recorder),
  // else the window's tune; false (with the reason shown in the dialog) when the log
  // cannot be read.
  bool OpenLog(const QString& path, std::int32_t fromMs = std::numeric_limits<std::int32_t>::min(),
               std::int32_t toMs = std::numeric_limits<std::int32_t>::max());
  // Analyses the loaded log again with the settings shown.
  void Analyse();
  // Writes the selected cells with a suggestion into the map: the suggested
  // percentage itself, also over a cell changed since the ride (it was
  // worked out from what the cell held then, so it is not stacked on the
  // change). A cell that changed after the result was shown is left out
  // unless it was selected knowing that. The log then
  // describes a tune the window no longer holds: the result stays as it was
  // applied, and nothing more is analysed or applied until a log is opened.
  void Apply();

  const std::optional<MapAnalysis>& Result() const { return analysis_; }
  // The log opened last; empty before the first.
  const QString& LogPath() const { return logPath_; }

  // The target table of the tune the window holds: read from beside its
  // file when there is one (and then used), else every cell at the single
  // target. SaveTargetTable writes it beside the tune.
  void LoadTargetTable();
  bool SaveTargetTable();
  // Loads the target table again when the window holds another tune file
  // than the one it was loaded for.
  void FollowTune();
  const std::array<std::uint16_t, kMapCells>& TargetTable() const { return targets_; }
  // The file dialog; tests replace it.
  std::function<QString()> ChooseLog;

 private:
  QString Text(LogText text) const;
  void Retranslate();
  void ShowResult();
  // The selected cells with a change to write.
  std::array<bool, kMapCells> SelectedChanges() const;
  void UpdateApply();
  void ShowTargets();
  void TargetEdited(int row, int column);

  Session& window_;
  LogData log_;
  std::optional<MapAnalysis> analysis_;
  // The tunes the log was ridden on, kept beside it ([0] empty), and the
  // window's tune as the analysis started, which places rows of no known
  // tune: a cell's suggestion starts from one of these.
  std::vector<std::optional<ParameterImage>> ridden_;
  ParameterImage startedOn_;
  std::vector<const ParameterImage*> Tunes() const;
  // The cells changed since their rows were ridden, as the result shows them.
  std::array<bool, kMapCells> changedShown_{};
  QString logPath_;
  bool applied_ = false;
  std::int32_t fromMs_ = std::numeric_limits<std::int32_t>::min();
  std::int32_t toMs_ = std::numeric_limits<std::int32_t>::max();
  QLineEdit* file_ = nullptr;
  QPushButton* open_ = nullptr;
  QComboBox* map_ = nullptr;
  QDoubleSpinBox* target_ = nullptr;
  QSpinBox* minSamples_ = nullptr;
  QSpinBox* minCoolant_ = nullptr;
  QDoubleSpinBox* maxRate_ = nullptr;
  QSpinBox* maxChange_ = nullptr;
  QSpinBox* deadBand_ = nullptr;
  QCheckBox* fill_ = nullptr;
  QLabel* basisLabel_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTableWidget* targetGrid_ = nullptr;
  // How many rows of the log each cell has: where the ride went.
  QTableWidget* coverageGrid_ = nullptr;
  QCheckBox* useTable_ = nullptr;
  QPushButton* saveTable_ = nullptr;
  std::array<std::uint16_t, kMapCells> targets_{};
  bool showingTargets_ = false;
  std::string tablePath_;
  QLabel* summary_ = nullptr;
  QPushButton* apply_ = nullptr;
  std::array<QLabel*, 6> captions_{};
};

}  // namespace velmor::ui
