#include "ui/window/commit_filter.h"

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

CommitFilter::CommitFilter(const WindowControls& controls, Hooks hooks, QObject* parent)
    : QObject(parent), controls_(controls), hooks_(std::move(hooks)) {}

void CommitFilter::Install() {
  QWidget* window = controls_.Pages->window();
  // Every edit box commits on Enter; the field table says which also commit
  // on a click or when the focus leaves them.
  for (QLineEdit* e : controls_.Pages->findChildren<QLineEdit*>()) e->installEventFilter(this);
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    QLineEdit* edit = controls_.Fields[i].Edit;
    if (!edit) continue;
    const int events = CommitEventsOf(fields[i]);
    if (events & CommitOnClick) commitOnClick_.insert(edit);
    if (events & CommitOnLeave) commitOnLeave_.insert(edit);
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
