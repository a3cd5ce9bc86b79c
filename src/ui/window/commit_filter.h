// Which events commit which controls: Enter commits any edit box of the
// pages (and two check boxes and the model list), a click or leaving the box
// commits the boxes that are listed for it and every grid box, the undo keys
// work from inside an edit box, and leaving the note stores it.
#pragma once

#include <QObject>
#include <QSet>
#include <functional>

#include "ui/window/window_layout.h"

class QKeyEvent;
class QLineEdit;

namespace velmor::ui {

class CommitFilter : public QObject {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<void()> Commit;          // the page's values into the image
    std::function<void()> FocusNext;       // Enter moves on, as Tab would
    std::function<void(bool redo)> UndoRedo;
    std::function<void(const QString&)> NoteLeft;  // the note's text, as typed
  };
  CommitFilter(const WindowControls& controls, Hooks hooks, QObject* parent);

  // Watches the page controls; call once everything is built.
  void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // 0 for the Undo keys, 1 for the Redo keys, -1 for any other key.
  int UndoKeyOf(const QKeyEvent* key) const;

  const WindowControls& controls_;
  Hooks hooks_;
  QSet<QLineEdit*> commitOnClick_;
  QSet<QLineEdit*> commitOnLeave_;
};

}  // namespace velmor::ui
