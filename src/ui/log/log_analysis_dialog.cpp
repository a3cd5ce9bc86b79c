#include "ui/log/log_analysis_dialog.h"
#include "ui/widgets/widgets.h"

#include "lang/edit_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdlib>
#include <new>

#include "editor/program_review.h"
#include "files/file_io.h"
#include "log/log_paths.h"
#include "log/ridden_tunes.h"
#include "ui/session/session.h"
#include "ui/log/log_recorder.h"

namespace velmor::ui {
namespace {

QColor VerdictColour(CellVerdict v, int change, int current) {
  // The stronger the change, the deeper the colour; full at the 20 % a
  // change is normally limited to.
  const int strength = current > 0 ? std::min(100, std::abs(change) * 500 / current) : 100;
  switch (v) {
    case CellVerdict::NoRows:
      return QColor(Qt::white);
    case CellVerdict::FewRows:
      return QColor(Qt::lightGray);
    case CellVerdict::OnTarget:
      return QColor(200, 240, 200);
    case CellVerdict::Lean:
      return QColor(255, 235 - strength * 135 / 100, 235 - strength * 135 / 100);
    case CellVerdict::Rich:
      return QColor(235 - strength * 135 / 100, 235 - strength * 135 / 100, 255);
    case CellVerdict::Filled:
      return change > 0 ? QColor(255, 225, 190) : QColor(205, 225, 255);
  }
  return {};
}

// Cells keep their colour when selected (all are, by default); a frame
// shows the selection.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    painter->setPen(Qt::black);
    painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_Selected) {
      painter->setPen(QPen(QColor(40, 40, 40), 1, Qt::DotLine));
      painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
  }
};

}  // namespace

LogAnalysisDialog::LogAnalysisDialog(Session& window) : QDialog(&window.Window()), window_(window) {
  setObjectName("DialogLogAnalysis");
  ChooseLog = [this] {
    return QFileDialog::getOpenFileName(this, QString(), LogRecorder::LogsDirectory(), "Logs (*.csv);;All Files (*)");
  };
  auto* layout = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  captions_[0] = new QLabel(this);
  file_ = new QLineEdit(this);
  file_->setObjectName("EditLogFile");
  file_->setReadOnly(true);
  open_ = new QPushButton(this);
  open_->setObjectName("ButtonOpenLog");
  fileRow->addWidget(captions_[0]);
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(open_);
  layout->addLayout(fileRow);

  auto* settings = new QHBoxLayout;
  auto caption = [&](int i) {
    captions_[i] = new QLabel(this);
    settings->addWidget(captions_[i]);
  };
  caption(1);
  map_ = new QComboBox(this);
  map_->setObjectName("ComboBoxLogMap");
  map_->addItems({"1", "2"});
  settings->addWidget(map_);
  caption(2);
  target_ = new QDoubleSpinBox(this);
  target_->setObjectName("SpinLogTarget");
  target_->setDecimals(1);
  target_->setRange(10.0, 19.9);
  target_->setSingleStep(0.1);
  target_->setValue(13.2);
  settings->addWidget(target_);
  caption(3);
  minSamples_ = new QSpinBox(this);
  minSamples_->setObjectName("SpinLogMinSamples");
  minSamples_->setRange(1, 100000);
  minSamples_->setValue(10);
  settings->addWidget(minSamples_);
  caption(4);
  minCoolant_ = new QSpinBox(this);
  minCoolant_->setObjectName("SpinLogMinCoolant");
  minCoolant_->setRange(-40, 150);
  minCoolant_->setValue(60);
  settings->addWidget(minCoolant_);
  caption(5);
  maxRate_ = new QDoubleSpinBox(this);
  maxRate_->setObjectName("SpinLogMaxTpsRate");
  maxRate_->setDecimals(1);
  maxRate_->setRange(0, 10000);
  maxRate_->setValue(10);
  settings->addWidget(maxRate_);
  maxChange_ = new QSpinBox(this);
  maxChange_->setObjectName("SpinLogMaxChange");
  maxChange_->setRange(0, 100);
  maxChange_->setValue(20);
  auto* changeCaption = new QLabel(this);
  changeCaption->setObjectName("LabelLogMaxChange");
  settings->addWidget(changeCaption);
  settings->addWidget(maxChange_);
  settings->addStretch(1);
  layout->addLayout(settings);
  auto* more = new QHBoxLayout;
  auto* bandCaption = new QLabel(this);
  bandCaption->setObjectName("LabelLogDeadBand");
  deadBand_ = new QSpinBox(this);
  deadBand_->setObjectName("SpinLogDeadBand");
  deadBand_->setRange(0, 20);
  deadBand_->setValue(AnalysisSettings{}.DeadBandPct);
  fill_ = new QCheckBox(this);
  fill_->setObjectName("CheckBoxLogFill");
  fill_->setChecked(AnalysisSettings{}.FillBetween);
  more->addWidget(bandCaption);
  more->addWidget(deadBand_);
  more->addSpacing(16);
  more->addWidget(fill_);
  more->addStretch(1);
  layout->addLayout(more);
  basisLabel_ = new QLabel(this);
  basisLabel_->setObjectName("LabelLogBasis");
  basisLabel_->setWordWrap(true);
  layout->addWidget(basisLabel_);
  captions_[0]->setObjectName("LabelLogFile");

  grid_ = new QTableWidget(kMapRows, kMapColumns, this);
  grid_->setObjectName("GridLogAnalysis");
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setItemDelegate(new CellDelegate(grid_));
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  QStringList rows;
  for (int r = 0; r < kMapRows; ++r) rows << QString("%1 %").arg(kTpsRows[r]);
  grid_->setVerticalHeaderLabels(rows);
  for (int k = 0; k < kMapCells; ++k) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    grid_->setItem(k / kMapColumns, k % kMapColumns, item);
  }
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TabsLogAnalysis");
  tabs_->addTab(grid_, QString());
  auto* targetPage = new QWidget(tabs_);
  auto* targetLayout = new QVBoxLayout(targetPage);
  auto* targetRow = new QHBoxLayout;
  useTable_ = new QCheckBox(targetPage);
  useTable_->setObjectName("CheckBoxLogTargetTable");
  saveTable_ = new QPushButton(targetPage);
  saveTable_->setObjectName("ButtonLogSaveTarget");
  targetRow->addWidget(useTable_);
  targetRow->addStretch(1);
  targetRow->addWidget(saveTable_);
  targetLayout->addLayout(targetRow);
  targetGrid_ = new QTableWidget(kMapRows, kMapColumns, targetPage);
  targetGrid_->setObjectName("GridLogTarget");
  targetGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  targetGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  targetGrid_->setVerticalHeaderLabels(rows);
  for (int k = 0; k < kMapCells; ++k) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    targetGrid_->setItem(k / kMapColumns, k % kMapColumns, item);
  }
  targetLayout->addWidget(targetGrid_, 1);
  tabs_->addTab(targetPage, QString());
  coverageGrid_ = new QTableWidget(kMapRows, kMapColumns, tabs_);
  coverageGrid_->setObjectName("GridLogCoverage");
  coverageGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  coverageGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  coverageGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  coverageGrid_->setVerticalHeaderLabels(rows);
  for (int k = 0; k < kMapCells; ++k) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    coverageGrid_->setItem(k / kMapColumns, k % kMapColumns, item);
  }
  tabs_->addTab(coverageGrid_, QString());
  layout->addWidget(tabs_, 1);

  auto* bottom = new QHBoxLayout;
  summary_ = new QLabel(this);
  summary_->setObjectName("LabelLogSummary");
  apply_ = new QPushButton(this);
  apply_->setObjectName("ButtonLogApply");
  apply_->setEnabled(false);
  bottom->addWidget(summary_, 1);
  bottom->addWidget(apply_);
  layout->addLayout(bottom);
  resize(1000, 600);
  LoadTargetTable();

  connect(open_, &QPushButton::clicked, this, [this] {
    const QString path = ChooseLog();
    if (!path.isEmpty()) OpenLog(path);
  });
  connect(apply_, &QPushButton::clicked, this, &LogAnalysisDialog::Apply);
  // Apply is there while the selection holds a change to write.
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &LogAnalysisDialog::UpdateApply);
  connect(useTable_, &QCheckBox::toggled, this, [this] {
    target_->setEnabled(!useTable_->isChecked() && !applied_);
    Analyse();
  });
  connect(saveTable_, &QPushButton::clicked, this, &LogAnalysisDialog::SaveTargetTable);
  connect(targetGrid_, &QTableWidget::cellChanged, this, &LogAnalysisDialog::TargetEdited);
  connect(map_, &QComboBox::currentIndexChanged, this, &LogAnalysisDialog::Analyse);
  for (auto* spin : {target_, maxRate_})
    connect(spin, &QDoubleSpinBox::valueChanged, this, &LogAnalysisDialog::Analyse);
  connect(fill_, &QCheckBox::toggled, this, &LogAnalysisDialog::Analyse);
  for (auto* spin : {minSamples_, minCoolant_, maxChange_, deadBand_})
    connect(spin, &QSpinBox::valueChanged, this, &LogAnalysisDialog::Analyse);
  Retranslate();
}

QString LogAnalysisDialog::Text(LogText text) const {
  const std::string_view s = LogUiText(text, window_.Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void LogAnalysisDialog::Retranslate() {
  setWindowTitle(Text(LogText::Analyse).remove('&'));
  const LogText captions[] = {LogText::LogFile, LogText::Map, LogText::Target, LogText::MinSamples,
                              LogText::MinCoolant, LogText::MaxTpsRate};
  for (int i = 0; i < 6; ++i) captions_[i]->setText(Text(captions[i]));
  findChild<QLabel*>("LabelLogMaxChange")->setText(Text(LogText::MaxChange));
  findChild<QLabel*>("LabelLogDeadBand")->setText(Text(LogText::DeadBand));
  fill_->setText(Text(LogText::FillBetween));
  open_->setText(Text(LogText::OpenLog));
  tabs_->setTabText(0, Text(LogText::CorrectionsTab));
  tabs_->setTabText(1, Text(LogText::TargetTab));
  tabs_->setTabText(2, Text(LogText::CoverageTab));
  useTable_->setText(Text(LogText::UseTargetTable));
  saveTable_->setText(Text(LogText::SaveTargetTable));
  apply_->setText(Text(LogText::Apply));
  ShowResult();
}

bool LogAnalysisDialog::OpenLog(const QString& path, std::int32_t fromMs, std::int32_t toMs) {
  fromMs_ = fromMs;
  toMs_ = toMs;
  Retranslate();
  file_->setText(path);
  logPath_ = path;
  // The tunes the recorder kept beside the log, as the window would hold them.
  ridden_ = LoadRiddenTunes(path.toStdString(), window_.Image());
  LogReadResult r;
  try {
    r = ReadLogFile(path.toStdString());
  } catch (const std::bad_alloc&) {
    r = {};
    r.Problem = {LogText::ReadTooLarge, {std::to_string(QFileInfo(path).size() >> 20)}};
  }
  if (!r.Ok) {
    log_ = {};
    analysis_.reset();
    ShowResult();
    summary_->setText(path + ": " + QString::fromStdString(DescribeLogProblem(r.Problem, window_.Language())));
    return false;
  }
  log_ = std::move(r.Data);
  applied_ = false;
  Analyse();
  return true;
}

void LogAnalysisDialog::Analyse() {
  if (applied_ || (log_.Empty() && !analysis_)) {
    ShowResult();
    return;
  }
  AnalysisSettings s;
  s.Map = map_->currentIndex() + 1;
  s.TargetAfrX10 = static_cast<int>(std::lround(target_->value() * 10));
  if (useTable_->isChecked()) s.TargetTable = targets_;
  s.MinSamples = minSamples_->value();
  s.MinCoolantC = minCoolant_->value();
  s.MaxTpsRateX10 = static_cast<int>(std::lround(maxRate_->value() * 10));
  s.MaxChangePct = maxChange_->value();
  s.FromMs = fromMs_;
  s.ToMs = toMs_;
  s.DeadBandPct = deadBand_->value();
  s.FillBetween = fill_->isChecked();
  // The rows are placed and corrected on the map they were ridden on.
  startedOn_ = window_.Image();
  analysis_ = AnalyseLog(Tunes(), log_, s);
  ShowResult();
}

std::vector<const ParameterImage*> LogAnalysisDialog::Tunes() const {
  std::vector<const ParameterImage*> tunes{&startedOn_};
  for (std::size_t n = 1; n < ridden_.size(); ++n) tunes.push_back(ridden_[n] ? &*ridden_[n] : nullptr);
  return tunes;
}

void LogAnalysisDialog::ShowResult() {
  const int axis = analysis_ && analysis_->Settings.Map == 2 ? kInj2Axis : kInj1Axis;
  QStringList columns;
  for (int c = 0; c < kMapColumns; ++c) columns << QString::number(window_.Image().P(axis + c) * 100);
  grid_->setHorizontalHeaderLabels(columns);
  coverageGrid_->setHorizontalHeaderLabels(columns);
  // Cells the editor has changed since the ride: shown, never applied.
  const std::array<bool, kMapCells> changed =
      analysis_ && !applied_ ? CellsChangedSince(*analysis_, Tunes(), window_.Image()) : std::array<bool, kMapCells>{};
  changedShown_ = changed;
  DerivedTables now;
  RefreshPercentMaps(window_.Image(), now);
  int changedCount = 0;
  for (int k = 0; k < kMapCells; ++k) {
    QTableWidgetItem* item = grid_->item(k / kMapColumns, k % kMapColumns);
    QTableWidgetItem* rowsItem = coverageGrid_->item(k / kMapColumns, k % kMapColumns);
    const int samples = analysis_ ? analysis_->Cells[k].Samples : 0;
    const int needed = analysis_ ? std::max(1, analysis_->Settings.MinSamples) : 1;
    rowsItem->setText(samples > 0 ? QString::number(samples) : QString());
    // Pale yellow below the minimum, then greener the more rows there are.
    const int depth = std::min(160, 40 + 120 * samples / (4 * needed));
    rowsItem->setBackground(samples == 0       ? QColor(Qt::white)
                            : samples < needed ? QColor(255, 240, 190)
                                               : QColor(255 - depth, 255, 255 - depth));
    rowsItem->setToolTip(samples > 0 ? Counted(Text(LogText::CoverageHint), window_.Language(), samples)
                                           .arg(samples)
                                           .arg(needed)
                                     : QString());
    if (!analysis_) {
      item->setText(QString());
      item->setToolTip(QString());
      item->setBackground(QColor(Qt::white));
      continue;
    }
    const CellResult& cell = analysis_->Cells[k];
    const CellVerdict verdict = VerdictOf(cell);
    const int change = cell.Suggested - cell.Current;
    item->setText(verdict == CellVerdict::NoRows ? QString()
                  : change == 0                  ? QString::number(cell.Current)
                                                 : QString("%1 (%2%3)").arg(cell.Suggested).arg(change > 0 ? "+" : "").arg(change));
    const bool left = change != 0 && changed[k];
    changedCount += left;
    item->setBackground(left ? QColor(225, 225, 225) : VerdictColour(verdict, change, cell.Current));
    item->setData(Qt::UserRole, static_cast<int>(verdict));
    QString hint = verdict == CellVerdict::NoRows ? QString()
                   : verdict == CellVerdict::Filled
                       ? Text(LogText::FilledHint).arg(cell.Current).arg(cell.Suggested)
                       : Text(LogText::CellHint)
                                 .arg(cell.Samples)
                                 .arg(cell.MeanAfr(), 0, 'f', 2)
                                 .arg(cell.TargetX10 / 10.0, 0, 'f', 1)
                                 .arg(cell.Current)
                                 .arg(cell.Suggested) +
                             (verdict == CellVerdict::FewRows ? Text(LogText::FewRows) : QString());
    if (left) {
      const Map150& percent = analysis_->Settings.Map == 2 ? now.PercentMap2 : now.PercentMap1;
      hint += Text(LogText::ChangedHint).arg(percent[k]);
    }
    item->setToolTip(hint);
  }
  QString basis;
  if (analysis_) {
    QStringList files;
    for (std::size_t n = 1; n < ridden_.size(); ++n)
      if (ridden_[n]) files << QFileInfo(QString::fromStdString(TunePathOfLog(logPath_.toStdString(), static_cast<int>(n)))).fileName();
    basis = files.isEmpty()     ? Text(LogText::RiddenUnknown)
            : files.size() == 1 ? Text(LogText::RiddenOn).arg(files.first())
                                : Text(LogText::RiddenOnTunes).arg(files.size()).arg(files.join(", "));
    if (changedCount > 0) basis += " " + Counted(Text(LogText::ChangedSince), window_.Language(), changedCount).arg(changedCount);
  }
  basisLabel_->setText(basis);
  if (analysis_) {
    const LanguageCode language = window_.Language();
    summary_->setText(Counted(Counted(Counted(Text(LogText::Summary), language, analysis_->Counts.Rows, 1), language,
                                      analysis_->Counts.Used, 2),
                              language, analysis_->CellsChanged(), 3)
                          .arg(analysis_->Counts.Rows)
                          .arg(analysis_->Counts.Used)
                          .arg(analysis_->CellsChanged()));
    // What Apply takes unless the tuner chooses otherwise: every change
    // whose cell still holds what its rows were ridden on.
    grid_->clearSelection();
    QItemSelection take;
    for (int k = 0; k < kMapCells; ++k) {
      const CellResult& cell = analysis_->Cells[k];
      if (cell.Suggested == cell.Current || changed[k]) continue;
      const QModelIndex at = grid_->model()->index(k / kMapColumns, k % kMapColumns);
      take.select(at, at);
    }
    grid_->selectionModel()->select(take, QItemSelectionModel::Select);
  }
  UpdateApply();
  for (QWidget* setting :
       std::initializer_list<QWidget*>{map_, minSamples_, minCoolant_, maxRate_, maxChange_, deadBand_, fill_, useTable_})
    setting->setEnabled(!applied_);
  target_->setEnabled(!applied_ && !useTable_->isChecked());
}

std::array<bool, kMapCells> LogAnalysisDialog::SelectedChanges() const {
  std::array<bool, kMapCells> selected{};
  if (!analysis_) return selected;
  for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) {
    const int k = MapCell(index.row(), index.column());
    selected[k] = analysis_->Cells[k].Suggested != analysis_->Cells[k].Current;
  }
  return selected;
}

void LogAnalysisDialog::UpdateApply() {
  const std::array<bool, kMapCells> selected = SelectedChanges();
  apply_->setEnabled(!applied_ && std::find(selected.begin(), selected.end(), true) != selected.end());
}

void LogAnalysisDialog::ShowTargets() {
  showingTargets_ = true;
  for (int k = 0; k < kMapCells; ++k)
    targetGrid_->item(k / kMapColumns, k % kMapColumns)->setText(QString::number(targets_[k] / 10.0, 'f', 1));
  showingTargets_ = false;
}

void LogAnalysisDialog::TargetEdited(int row, int column) {
  if (showingTargets_) return;
  const int k = MapCell(row, column);
  QTableWidgetItem* item = targetGrid_->item(row, column);
  std::int32_t v = 0;
  // Only an A/F the analysis accepts; anything else shows the old value again.
  if (ParseLogValue(item->text().trimmed().toStdString(), 1, v) && v >= 100 && v <= 199)
    targets_[k] = static_cast<std::uint16_t>(v);
  showingTargets_ = true;
  item->setText(QString::number(targets_[k] / 10.0, 'f', 1));
  showingTargets_ = false;
  if (useTable_->isChecked()) Analyse();
}

void LogAnalysisDialog::LoadTargetTable() {
  targets_.fill(static_cast<std::uint16_t>(std::lround(target_->value() * 10)));
  bool loaded = false;
  const std::string path = TargetTablePath(window_.CurrentFileName());
  tablePath_ = path;
  std::string text, error;
  if (!path.empty() && ReadWholeFile(path, text)) loaded = ParseTargetTable(text, targets_, error);
  ShowTargets();
  const QSignalBlocker block(useTable_);
  useTable_->setChecked(loaded);
}

void LogAnalysisDialog::FollowTune() {
  if (TargetTablePath(window_.CurrentFileName()) != tablePath_) LoadTargetTable();
}

bool LogAnalysisDialog::SaveTargetTable() {
  const std::string path = TargetTablePath(window_.CurrentFileName());
  if (path.empty()) {
    summary_->setText(Text(LogText::SaveTuneFirst));
    return false;
  }
  const WriteStatus status = AtomicWriteFile(path, FormatTargetTable(targets_));
  summary_->setText(status.Ok ? Text(LogText::TargetSaved).arg(QString::fromStdString(path))
                              : Text(LogText::CannotWrite).arg(QString::fromStdString(status.Reason)));
  return status.Ok;
}

void LogAnalysisDialog::Apply() {
  if (!analysis_ || applied_) return;
  if (!MapCanBeCorrected(window_.Image(), analysis_->Settings.Map)) {
    summary_->setText(Text(LogText::FollowsMap1));
    return;
  }
  std::array<bool, kMapCells> selected = SelectedChanges();
  // The map's page is shown and committed first, so the edit is one undo
  // step of that page, as an edit typed into it.
  const int page = analysis_->Settings.Map == 2 ? PageInj2 : PageInj1;
  window_.ActivatePage(page);
  window_.TransferPage();
  // A cell that has changed since the result was shown keeps what it holds
  // now: the tuner chose its suggestion for the value it held then.
  const std::array<bool, kMapCells> changed = CellsChangedSince(*analysis_, Tunes(), window_.Image());
  int left = 0, written = 0;
  for (int k = 0; k < kMapCells; ++k) {
    if (selected[k] && changed[k] && !changedShown_[k]) {
      selected[k] = false;
      ++left;
    }
    written += selected[k];
  }
  const ParameterImage now = window_.Image();
  ParameterImage corrected = now;
  DerivedTables tables;
  RefreshPercentMaps(corrected, tables);
  if (written == 0 || ApplyCorrections(corrected, tables, *analysis_, selected) != ApplyOutcome::Applied) {
    ShowResult();
    if (left > 0) {
      EditResult stale;
      stale.Verdict = EditVerdict::Refused;
      stale.Refusal = EditRefusal::Stale;
      stale.Count = left;
      summary_->setText(QString::fromStdString(EditResultText(stale, false, window_.Language())));
    }
    return;
  }
  const EditResult r = window_.ApplyEdit(EditBetween(now, corrected, page));
  if (!r.Applied()) {
    summary_->setText(QString::fromStdString(EditResultText(r, false, window_.Language())));
    return;
  }
  applied_ = true;
  ShowResult();
  summary_->setText(Counted(Text(LogText::Applied), window_.Language(), written).arg(written));
}

}  // namespace velmor::ui
