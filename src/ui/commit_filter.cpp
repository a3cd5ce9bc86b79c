#include "commit_filter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "model/fields.h"

namespace velmor::ui {
namespace {

// Declared edit boxes that commit when the focus leaves them, and those that
// commit on a click; the remaining declared ones commit on Enter only.
const char* const kCommitOnLeave[] = {
    "EditFan1",        "EditFan2",         "EditRpmKorekce",   "EditRpmPulsu",      "EditRetardLimiterRpm",
    "EditRetardLimiterAdv", "EditStartLimiter", "EditIgnLimiter", "EditJetLimiter",  "EditPocetGear",
    "EditGearAutoTime", "EditGearAutoRpm",  "EditGearAutoTps",  "EditGearAutoBand",  "EditPulsuProSpeed",
    "EditClutchMinRpm", "EditClutchJet",    "EditClutchAdv",
};
const char* const kCommitOnClick[] = {
    "EditBuzeni",       "EditApsTlak1",     "EditApsNapeti1",   "EditApsTlak2",     "EditTps0",
    "EditTps100",       "EditIdleRpmMez",   "EditIdleTpsMez",   "EditIdleHyster",   "EditIdleStepPerioda",
    "EditIdleAdvNaRpm", "EditIdleMaxAdv",   "EditIdleAdvNaCas", "EditIdleStepPuls", "EditIdleStart",
    "EditGas1",         "EditGas2",         "EditGasD",         "EditGasT",         "EditGasJetKor1",
    "EditGasJetKor2",   "EditRetard1",      "EditRetard2",      "EditRetardD",      "EditRetardT",
    "EditLadeniHyster", "EditLadeniRpm",    "EditLadeniTps",    "EditLadeniCas",    "EditLadeniLambda",
    "EditLadeniKanal",  "EditLadeniKrok",   "EditLadeniMaxAcc", "EditTestRpm",      "EditTestServo",
    "EditLambdaBar0",   "EditLambdaBar1",   "EditLambdaBar2",   "EditLambdaBar3",
};

}  // namespace

CommitFilter::CommitFilter(const WindowControls& controls, Hooks hooks, QObject* parent)
    : QObject(parent), controls_(controls), hooks_(std::move(hooks)) {}

void CommitFilter::Install() {
  QWidget* window = controls_.Pages->window();
  // Every edit box commits on Enter. The boxes built for the grids and the
  // map editor also commit on a click and when the focus leaves them; the
  // declared ones on one of the two, as listed.
  for (QLineEdit* e : controls_.Pages->findChildren<QLineEdit*>()) e->installEventFilter(this);
  const auto named = [window](const char* name) { return window->findChild<QLineEdit*>(name); };
  for (const char* name : kCommitOnLeave) {
    if (QLineEdit* e = named(name)) commitOnLeave_.insert(e);
  }
  for (const char* name : kCommitOnClick) {
    if (QLineEdit* e = named(name)) commitOnClick_.insert(e);
  }
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].Grid != FieldGrid::None && controls_.Fields[i].Edit) {
      commitOnClick_.insert(controls_.Fields[i].Edit);
      commitOnLeave_.insert(controls_.Fields[i].Edit);
    }
  }
  // Enter commits from these two check boxes as well.
  for (const char* name : {"CheckBoxTempDisplay", "CheckBoxGas"}) {
    if (auto* c = window->findChild<QCheckBox*>(name)) c->installEventFilter(this);
  }
  if (controls_.BikeModel) controls_.BikeModel->installEventFilter(this);
  if (controls_.Note) controls_.Note->installEventFilter(this);
}

int CommitFilter::UndoKeyOf(const QKeyEvent* key) const {
  const QKeySequence keys(key->keyCombination());
  if (keys == controls_.UndoAction->shortcut()) return 0;
  if (keys == controls_.RedoAction->shortcut()) return 1;
  return -1;
}

bool CommitFilter::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  QPlainTextEdit* note = controls_.Note;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (const int undo = edit ? UndoKeyOf(key) : -1; undo >= 0) {
        hooks_.UndoRedo(undo == 1);
        return true;
      }
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && watched != note) {
        hooks_.FocusNext();
        hooks_.Commit();
        return true;  // the control never sees the Enter
      }
      break;
    }
    case QEvent::ShortcutOverride:
      // An edit box would take Ctrl+Z for its own text undo, and the Undo
      // command's shortcut is off while nothing is recorded yet: the box
      // claims the keys, so they arrive below as a key press, always.
      if (edit && UndoKeyOf(static_cast<QKeyEvent*>(event)) >= 0) {
        event->accept();
        return true;
      }
      break;
    case QEvent::MouseButtonPress:
      if (edit && commitOnClick_.contains(edit)) hooks_.Commit();
      break;
    case QEvent::FocusOut:
      if (edit && commitOnLeave_.contains(edit)) hooks_.Commit();
      break;
    case QEvent::Leave:
      if (note && watched == note) hooks_.NoteLeft(note->toPlainText());
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace velmor::ui
