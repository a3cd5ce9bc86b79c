// Ignition -> Program with "Review changes before programming" on: what the
// Program will change in the unit, against what the unit on the cable held
// when it was read just before, with Program and Cancel. Cancel sends
// nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "editor/compare.h"
#include "editor/program_review.h"
#include "lang/catalog.h"
#include "model/derived.h"
#include "model/image.h"

class QLabel;
class QPushButton;

namespace velmor::ui {

class DifferenceView;

class ProgramReviewDialog : public QDialog {
  Q_OBJECT
 public:
  // `unit` is what the unit holds, `toProgram` the image as it will be
  // written (committed and normalised), both as the editor would hold them;
  // `unitName` names the unit in the texts.
  ProgramReviewDialog(const ParameterImage& unit, const ParameterImage& toProgram, const QString& unitName,
                      LanguageCode language, QWidget* parent);

  const std::vector<ImageDifference>& Differences() const { return diffs_; }

 private:
  std::vector<ImageDifference> diffs_;
};

}  // namespace velmor::ui
