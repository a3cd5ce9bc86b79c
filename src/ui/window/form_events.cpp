// The window's event wiring: which control and which menu item runs which
// command. The menus are built by WindowMenus; the events that commit typed
// values are the commit filter's.
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTabWidget>
#include <unordered_map>

#include "ui/window/commit_filter.h"
#include "editor/names.h"
#include "files/memo.h"
#include "ui/window/field_binder.h"
#include "ui/window/form_hlav.h"
#include "ui/window/edit_commands.h"
#include "ui/window/file_commands.h"
#include "ui/window/help_commands.h"
#include "ui/history/history_keeper.h"
#include "model/defaults.h"
#include "ui/widgets/up_down.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

namespace {

// What a click on a radio group does around storing its choice. Every
// click is an edit of its own, with an undo step and, when asked, its
// programming.
struct RadioClick {
  std::string_view Group;
  // Takes the page's typed values along, as leaving their boxes would, so
  // that the page refresh that follows does not drop them.
  bool CommitsPage = false;
  // The gear, speed and clutch groups share one handler: it stores those and
  // the idle group, each only when its page is the one shown.
  bool StoresGearGroups = false;
  bool LambdaTableDefault = false;
};

constexpr RadioClick kRadioClicks[] = {
    {.Group = "RadioGroupPolohaA"},
    {.Group = "RadioGroupPinEngine23"},
    {.Group = "RadioGroupPinEngine14"},
    {.Group = "RadioGroupPinBody11"},
    {.Group = "RadioGroupGearSystem", .StoresGearGroups = true},
    {.Group = "RadioGroupSpeedMode", .StoresGearGroups = true},
    {.Group = "RadioGroupClutchMode", .StoresGearGroups = true},
    {.Group = "RadioGroupIdleMode", .CommitsPage = true},
    {.Group = "RadioGroupLadeniMode"},
    {.Group = "RadioGroupCidloLambdaMode", .CommitsPage = true, .LambdaTableDefault = true},
};

constexpr std::string_view kGearGroups[] = {"RadioGroupGearSystem", "RadioGroupClutchMode", "RadioGroupSpeedMode",
                                            "RadioGroupIdleMode"};

// Every click on a radio group is an edit of its own through the window.
void WireRadioGroups(TFormHlav& window, const WindowControls& controls, FieldBinder& binder,
                     const std::function<int()>& page) {
  // A group writes its choice into its own row of the field table.
  std::unordered_map<std::string_view, std::pair<const FieldDef*, RadioGroup*>> groups;
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (auto* r = qobject_cast<RadioGroup*>(controls.Fields[i].Control)) groups[fields[i].ControlName] = {&fields[i], r};
  }
  const auto store = [&window, &controls, page, groups](std::string_view name, bool shownOnly) {
    const auto it = groups.find(name);
    if (it == groups.end()) return;
    auto [field, group] = it->second;
    // A group on another page still shows the image as it was when that
    // page was last shown; storing it would undo a file opened or a unit
    // read since.
    if (shownOnly && !controls.Sheets[static_cast<std::size_t>(page())]->isAncestorOf(group)) return;
    StoreShownValue(*field, group->ItemIndex(), window.Image());
  };
  if (const auto it = groups.find("RadioGroupPolohaA"); it != groups.end()) it->second.second->SetTabStop(false);
  for (const RadioClick& click : kRadioClicks) {
    const auto it = groups.find(click.Group);
    if (it == groups.end()) continue;
    QObject::connect(it->second.second, &RadioGroup::Clicked, &window, [&window, &binder, page, store, &click] {
      window.ChangeTune([&] {
        if (click.CommitsPage) binder.TransferPage(page());
        if (click.StoresGearGroups) {
          for (std::string_view name : kGearGroups) store(name, true);
        } else {
          store(click.Group, false);
        }
        if (click.LambdaTableDefault) ApplyLambdaTableDefault(window.Image());
        return true;
      });
    });
  }
}

}  // namespace

WindowMenus::Commands TFormHlav::MenuCommands() {
  WindowMenus::Commands run;
  run.New = [this] { files_->MenuNewClick(); };
  run.NewForPage = [this] { files_->MenuNewActPageClick(); };
  run.Open = [this](bool fromExeDir) { MenuOpenClick(fromExeDir); };
  run.OpenForPage = [this] { MenuOpenActPageClick(); };
  run.Save = [this](bool fromExeDir) { MenuSaveClick(fromExeDir); };
  run.Print = [this] { SpeedButtonPrintClick(); };
  run.Exit = [this] { close(); };
  run.SelectPort = [this](int item) {
    link_->SelectPort(item);
    ApplyLinkStatus();
  };
  run.Read = [this] { link_->StartRead(); ApplyLinkStatus(); };
  run.Verify = [this] { link_->StartVerify(); ApplyLinkStatus(); };
  run.Program = [this] { history_->ProgramClick([this] { link_->StartProgram(); ApplyLinkStatus(); }); };
  run.SetMapMode = [this](int mode) { edits_->SetMapMode(mode); };
  run.StepMap = [this](StepDirection direction) { edits_->StepMapClick(direction); };
  run.UndoRedo = [this](bool redo) { edits_->UndoRedoCommand(redo); };
  run.ToggleTuning = [this] {
    if (QCheckBox* c = controls_.TuningEnabled) c->setChecked(!c->isChecked());
    RefreshView();
  };
  run.SetLanguage = [this](LanguageCode language) { SetLanguage(language); };
  run.Contents = [this] { help_->MenuContensClick(); };
  run.About = [this] { help_->MenuAboutClick(); };
  return run;
}

void TFormHlav::WireEvents() {
  CommitFilter::Hooks hooks;
  hooks.Commit = [this] { TransferPage(); };
  hooks.FocusNext = [this] { focusNextChild(); };
  hooks.UndoRedo = [this](bool redo) { edits_->UndoRedoCommand(redo); };
  hooks.NoteLeft = [this](const QString& note) {
    const QByteArray text = note.toUtf8();
    ChangeTune([&] {
      WriteNoteText(document_.Image, std::string_view(text.constData(), text.size()));
      return true;
    });
  };
  commitFilter_ = new CommitFilter(controls_, std::move(hooks), this);
  commitFilter_->Install();
  // Every spinner commits the page on an arrow click.
  for (UpDown* s : findChildren<UpDown*>()) connect(s, &UpDown::Clicked, this, [this] { TransferPage(); });
  if (QComboBox* combo = controls_.BikeModel) {
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { edits_->ComboBoxBikeChange(index); });
  }
  // Check boxes commit with the view when released over the box.
  for (QCheckBox* c : findChildren<QCheckBox*>()) {
    const QString name = c->objectName();
    if (name == "CheckBoxTps_Uni" || name == "CheckBoxZobrMs_Uni") {
      connect(c, &QCheckBox::clicked, this, [this] {
        // The map is shown anew in one repaint.
        controls_.Map.Panel->hide();
        TransferPage();
        controls_.Map.Panel->show();
      });
    } else {
      connect(c, &QCheckBox::clicked, this, [this] { TransferPage(); });
    }
  }
  WireRadioGroups(*this, controls_, *fields_, [this] { return pageIndex_; });

  auto button = [this](const char* name, auto handler) {
    if (auto* b = findChild<QAbstractButton*>(name)) connect(b, &QAbstractButton::clicked, this, handler);
  };
  button("ButtonRead", [this] { link_->StartRead(); ApplyLinkStatus(); });
  button("ButtonVerify", [this] { link_->StartVerify(); ApplyLinkStatus(); });
  button("ButtonProgram", [this] { history_->ProgramClick([this] { link_->StartProgram(); ApplyLinkStatus(); }); });
  button("SpeedButton6", [this] { files_->MenuNewClick(); });
  button("SpeedButtonZpet", [this] { edits_->UndoRedoCommand(false); });
  button("SpeedButtonZnovu", [this] { edits_->UndoRedoCommand(true); });
  button("SpeedButtonPrint", [this] { SpeedButtonPrintClick(); });
  button("ButtonTps0", [this] {
    ChangeTune([this] { return CaptureTps0(document_.Image, link_->Live().TpsMillivolts); });
  });
  button("ButtonTps100", [this] {
    ChangeTune([this] { return CaptureTps100(document_.Image, link_->Live().TpsMillivolts); });
  });
  for (int gear = 1; gear <= kGearCount; ++gear) {
    if (auto* b = findChild<QAbstractButton*>(Utf8(EditorNames::ButtonGear(gear)))) {
      connect(b, &QAbstractButton::clicked, this, [this, gear] {
        ChangeTune([&] {
          CaptureGearRatio(document_.Image, gear, link_->Live().RpmSpeedRatio);
          return true;
        });
      });
    }
  }
  const MapPanelWidgets& map = controls_.Map;
  for (int col = 0; col < kMapColumns; ++col) {
    connect(map.ColumnStep[col], &StepButtons::Up, this, [this, col] { edits_->StepColumnClick(col, StepDirection::Up); });
    connect(map.ColumnStep[col], &StepButtons::Down, this, [this, col] { edits_->StepColumnClick(col, StepDirection::Down); });
  }
  connect(map.MapStep, &StepButtons::Up, this, [this] { edits_->StepMapClick(StepDirection::Up); });
  connect(map.MapStep, &StepButtons::Down, this, [this] { edits_->StepMapClick(StepDirection::Down); });
  if (auto* idle = findChild<StepButtons*>("IdleStepButton")) {
    connect(idle, &StepButtons::Up, this, [this] { edits_->StepIdleClick(StepDirection::Up); });
    connect(idle, &StepButtons::Down, this, [this] { edits_->StepIdleClick(StepDirection::Down); });
  }
  if (auto* pos = findChild<StepButtons*>("CSpinButtonPolohaA")) {
    connect(pos, &StepButtons::Up, this, [this] { edits_->StepPositionClick(StepDirection::Up); });
    connect(pos, &StepButtons::Down, this, [this] { edits_->StepPositionClick(StepDirection::Down); });
  }
  // The tool buttons take the program directory's data file with Ctrl held.
  const auto ctrl = [] { return (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) != 0; };
  button("SpeedButtonOpen", [=, this] { MenuOpenClick(ctrl()); });
  button("SpeedButtonSave", [=, this] { MenuSaveClick(ctrl()); });
  for (QPushButton* b : findChildren<QPushButton*>()) {
    if (b->objectName().startsWith("ButtonTest")) {
      connect(b, &QPushButton::clicked, this, [this, b] { link_->StartOutputTest(b->objectName().toStdString()); });
    }
  }
  connect(controls_.Pages, &QTabWidget::currentChanged, this, [this](int index) {
    if (index < 0) return;
    controls_.Map.Panel->hide();
    pageIndex_ = index;
    RefreshPage();
    controls_.Map.Panel->show();
  });
}

}  // namespace velmor::ui
