// File -> History...: the images kept from units, newest first, with their
// time, kind, unit and the first line of their note; Open loads one as a
// file open does, Compare shows how it differs from the editor.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "files/history.h"
#include "lang/catalog.h"

class QPushButton;
class QTreeWidget;

namespace velmor::ui {

class HistoryDialog : public QDialog {
  Q_OBJECT
 public:
  HistoryDialog(const std::string& directory, LanguageCode language, QWidget* parent);

  // What Open and Compare do with the chosen file.
  std::function<void(const std::string& path)> OpenEntry;
  std::function<void(const std::string& path)> CompareEntry;

  const std::vector<HistoryEntry>& Entries() const { return entries_; }

 private:
  const HistoryEntry* Current() const;

  std::vector<HistoryEntry> entries_;
  QTreeWidget* list_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* compare_ = nullptr;
};

}  // namespace velmor::ui
