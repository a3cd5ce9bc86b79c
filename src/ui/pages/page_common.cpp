#include "ui/pages/page_common.h"

#include <QComboBox>
#include <QHash>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "lang/control_texts.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

struct EnglishTexts {
  QHash<QString, QString> Captions;
  QHash<QString, QStringList> Items;
};

const EnglishTexts& English() {
  static const EnglishTexts texts = [] {
    EnglishTexts t;
    for (const ControlText& c : ControlTexts(LanguageCode::English)) {
      const QString name = QString::fromUtf8(c.component.data(), static_cast<int>(c.component.size()));
      const QString text = QString::fromStdString(c.text);
      switch (c.property) {
        case TextProperty::Caption: t.Captions.insert(name, text); break;
        case TextProperty::Items: t.Items.insert(name, text.split('\n')); break;
        case TextProperty::Item: {
          QStringList& items = t.Items[name];
          while (items.size() <= c.item) items.append(QString());
          items[c.item] = text;
          break;
        }
        case TextProperty::Hint: break;
      }
    }
    return t;
  }();
  return texts;
}

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The note memo holds at most this many characters, line breaks included, so
// that its packed lines always fit the note area.
constexpr int kMemoMaxChars = kMemoSize - 1;

void LimitMemo(QPlainTextEdit* memo) {
  QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo] {
    const QString text = memo->toPlainText();
    if (text.size() <= kMemoMaxChars) return;
    QTextCursor cursor = memo->textCursor();
    const int position = std::min(cursor.position(), kMemoMaxChars);
    memo->setPlainText(text.left(kMemoMaxChars));
    cursor = memo->textCursor();
    cursor.setPosition(position);
    memo->setTextCursor(cursor);
  });
}

// Captions of controls the language tables leave out, where the field table's
// long description would read oddly beside its neighbours: the input
// activation check boxes sit under "Activation by Switch on" beside the
// tables' own "Start limiter".
QString OwnCaption(const FieldDef& field) {
  if (field.ControlName == "CheckBoxAktClutch") return "Clutch master";
  if (field.ControlName == "CheckBoxAktRpm") return "Tacho/Lambda";
  return QString::fromStdString(field.Caption);
}

}  // namespace

QString EnglishCaption(std::string_view name, const QString& fallback) {
  const auto it = English().Captions.constFind(Q(name));
  return it != English().Captions.constEnd() ? *it : fallback;
}

const FieldDef* Field(int page, std::string_view controlName) { return FindField(page, controlName); }

QString FieldStem(const FieldDef& field) {
  QString name = QString::fromStdString(field.ControlName);
  if (name.startsWith("UpDown")) name.remove(0, 6);
  return name;
}

QString FieldLabelName(const FieldDef& field) {
  if (field.ControlName == "UpDownLadeniMaxAcc") return "LabelMaxAcc";
  return "Label" + FieldStem(field);
}

QString FieldLabelText(const FieldDef& field) {
  if (field.ControlName == "UpDownTestServo") return "Time [ms]";
  return EnglishCaption(FieldLabelName(field).toStdString(), QString::fromStdString(field.Caption));
}

QGroupBox* MakeGroup(const char* name, const QString& fallbackTitle, QWidget* parent) {
  auto* g = new QGroupBox(EnglishCaption(name, fallbackTitle), parent);
  g->setObjectName(name);
  return g;
}

QLabel* MakeNamedLabel(const QString& name, const QString& fallbackText, QWidget* parent) {
  return MakeLabel(name, EnglishCaption(name.toStdString(), fallbackText), parent);
}

QWidget* MakeFieldControl(const FieldDef& field, QWidget* parent, int editWidth) {
  const QString name = QString::fromStdString(field.ControlName);
  switch (field.Kind) {
    case ControlKind::FieldPair: return MakeFieldPair(field, parent, editWidth);
    case ControlKind::CheckBox:
      return MakeCheckBox(name, EnglishCaption(field.ControlName, OwnCaption(field)), parent);
    case ControlKind::RadioGroup: {
      auto* r = new RadioGroup(name, parent);
      r->setTitle(EnglishCaption(field.ControlName, QString::fromStdString(field.Caption)));
      QStringList items;
      for (std::string_view item : field.Items) items << Q(item);
      // The language tables may name the items differently from the file's
      // item texts (only some are translated).
      const auto it = English().Items.constFind(name);
      if (it != English().Items.constEnd()) {
        for (int i = 0; i < it->size() && i < items.size(); ++i)
          if (!(*it)[i].isEmpty()) items[i] = (*it)[i];
        if (items.isEmpty()) items = *it;
      }
      r->SetItems(items);
      return r;
    }
    case ControlKind::ComboBox: {
      auto* c = new QComboBox(parent);
      c->setObjectName(name);
      for (std::string_view item : field.Items) c->addItem(Q(item));
      // Not a model: while it is selected the New commands do nothing.
      c->addItem("-------------");
      return c;
    }
    case ControlKind::Memo: {
      auto* m = new QPlainTextEdit(parent);
      m->setObjectName(name);
      m->setLineWrapMode(QPlainTextEdit::NoWrap);
      LimitMemo(m);
      return m;
    }
    case ControlKind::MenuGroup: break;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------

QWidget* RowsWidget(int page, QWidget* sheet, std::initializer_list<std::string_view> fields) {
  auto* w = new QWidget(sheet);
  FormRows rows(page, w);
  rows.Add(fields);
  rows.Layout()->setContentsMargins(0, 0, 0, 0);
  return w;
}

FormRows::FormRows(int page, QWidget* container, int editWidth)
    : page_(page), container_(container), editWidth_(editWidth) {
  grid_ = new QGridLayout(container);
  grid_->setHorizontalSpacing(8);
  grid_->setVerticalSpacing(4);
  grid_->setColumnStretch(2, 1);
}

void FormRows::Add(std::initializer_list<std::string_view> controlNames) {
  for (std::string_view name : controlNames)
    if (const FieldDef* f = Field(page_, name)) AddField(*f);
}

void FormRows::AddField(const FieldDef& field) {
  QWidget* control = MakeFieldControl(field, container_, editWidth_);
  if (!control) return;
  if (field.Kind == ControlKind::FieldPair) {
    auto* label = MakeLabel(FieldLabelName(field), FieldLabelText(field), container_);
    label->setBuddy(control->findChild<QLineEdit*>());
    AddRow(label, control);
  } else {
    AddWide(control);
  }
}

void FormRows::AddWide(QWidget* widget) {
  grid_->addWidget(widget, row_++, 0, 1, 2);
}

void FormRows::AddRow(QLabel* label, QWidget* widget) {
  if (label) grid_->addWidget(label, row_, 0);
  grid_->addWidget(widget, row_++, 1, Qt::AlignLeft);
}

// ---------------------------------------------------------------------------
// The run-time grids

namespace {

struct Slot {
  int Left = 0;
  int Top = 0;
  int Width = 40;
};

int LabelLeft(QWidget* group, const char* name) {
  auto* l = group->findChild<QLabel*>(name);
  return l ? l->x() : 0;
}
int LabelTop(QWidget* group, const char* name) {
  auto* l = group->findChild<QLabel*>(name);
  return l ? l->y() : 0;
}

Slot SlotOf(const FieldDef& f, QWidget* group) {
  const int r = f.Row;
  const int c = f.Column;
  switch (f.Grid) {
    case FieldGrid::InjectionPosition:
      return {60 * c + 44, LabelTop(group, r == 0 ? "LabelPolohaA_1" : "LabelPolohaA_2") - 3, 40};
    case FieldGrid::InjectionByTemperature: return {c == 0 ? 85 : 165, 38 * r + 53, 40};
    case FieldGrid::AdvanceByCoolant: return {85, 39 * r + 65, 40};
    case FieldGrid::TemperatureSensors: return {c == 0 ? 75 : 155, 37 * r + 65, 40};
    case FieldGrid::RpmSpeedPerGear: return {24, 39 * r + 65, 40};
    case FieldGrid::GearCorrection: return {c == 0 ? 24 : 102, 39 * r + 65, 30};
    case FieldGrid::Clutch: {
      static constexpr int kLeft[] = {24, 114, 254, 394};
      return {kLeft[std::clamp(c, 0, 3)], 39 * r + 65, 42};
    }
    case FieldGrid::IdleServoRpm:
    case FieldGrid::IdleAdvanceRpm: return {70, 37 * r + 35 - 4, 42};
    case FieldGrid::LambdaSensor:
      return {LabelLeft(group, c == 0 ? "LabelCidloLambdaAf" : "LabelCidloLambdaNap"),
              LabelTop(group, "LabelCidloLambdaAf") + 30 * r + 25, 40};
    case FieldGrid::LambdaTacho:
      return {LabelLeft(group, c == 0 ? "LabelLambdaTachoAf" : "LabelLambdaTachoRpm"),
              LabelTop(group, "LabelLambdaTachoAf") + 30 * r + 25, 40};
    default: return {};
  }
}

// Spinner values a grid starts with before the first refresh.
int InitialValue(const FieldDef& f) {
  if (f.Grid == FieldGrid::Clutch && f.Column <= 1) return 15000;
  if (f.Grid == FieldGrid::IdleServoRpm || f.Grid == FieldGrid::IdleAdvanceRpm) return 1000;
  return f.Min > 0 ? f.Min : 0;
}

}  // namespace

void PlaceGridFields(int page, QWidget* sheet) {
  for (const FieldDef& f : FieldsOfPage(page)) {
    if (f.Grid == FieldGrid::None || f.Grid == FieldGrid::RpmAxis || f.Grid == FieldGrid::MapCells ||
        f.Grid == FieldGrid::MapExtra)
      continue;
    auto* group = sheet->findChild<QGroupBox*>(Q(f.Parent));
    if (!group) continue;
    const Slot s = SlotOf(f, group);
    FieldPairWidgets w{};
    QWidget* pair = MakeFieldPair(f, group, s.Width, &w);
    pair->setGeometry(s.Left, s.Top, s.Width + 16, 21);
    // Lay the pair out now: the view refresh reads positions of pages not
    // yet shown.
    pair->layout()->activate();
    w.Spinner->SetValueAndText(InitialValue(f));
  }
}

void AddGridRowLabels(QGroupBox* group, int count, int left, int width, int (*top)(int),
                      QString (*text)(int)) {
  const std::string groupName = group->objectName().toStdString();
  for (int i = 0; i < count; ++i) {
    auto* l = MakeLabel(GridRowLabelName(groupName, i), text(i), group);
    // Right-aligned so that the units line up whatever the digits' widths.
    l->setAlignment(Qt::AlignRight | Qt::AlignTop);
    l->setGeometry(left, top(i), width, l->fontMetrics().height());
  }
}

void FitGroup(QGroupBox* group, int minWidth) {
  QRect r;
  for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) r |= w->geometry();
  const int titleWidth = group->fontMetrics().horizontalAdvance(group->title()) + 24;
  group->setFixedSize(std::max({r.right() + 12, minWidth, titleWidth}), r.bottom() + 10);
}

QBoxLayout* SheetLayout(QWidget* sheet) {
  if (QLayout* existing = sheet->layout()) {
    auto* inner = new QWidget(sheet);
    existing->addWidget(inner);
    return new QHBoxLayout(inner);
  }
  return new QHBoxLayout(sheet);
}

void PlaceRemainingFields(int page, QWidget* sheet, QBoxLayout* layout) {
  QGroupBox* box = nullptr;
  FormRows* rows = nullptr;
  for (const FieldDef& f : FieldsOfPage(page)) {
    if (f.Kind == ControlKind::MenuGroup || f.Grid != FieldGrid::None) continue;
    if (sheet->findChild<QWidget*>(QString::fromStdString(f.ControlName))) continue;
    if (!box) {
      box = new QGroupBox(sheet);
      box->setObjectName(QString("GroupBoxMore%1").arg(page));
      layout->addWidget(box, 0, Qt::AlignTop);
      rows = new FormRows(page, box);
    }
    rows->AddField(f);
  }
  delete rows;
}

}  // namespace velmor::ui::detail

namespace velmor::ui {

void BuildPage(int page, QWidget* sheet) {
  if (!sheet) return;
  switch (page) {
    case PageBike: detail::BuildBikePage(sheet); break;
    case PagePosition: detail::BuildPositionPage(sheet); break;
    case PageCorrections: detail::BuildCorrectionsPage(sheet); break;
    case PageSensors: detail::BuildSensorsPage(sheet); break;
    case PageIdle: detail::BuildIdlePage(sheet); break;
    case PageN2O: detail::BuildGasPage(sheet); break;
    case PageGear: detail::BuildGearPage(sheet); break;
    case PageRace: detail::BuildRacePage(sheet); break;
    case PageTuning: detail::BuildTuningPage(sheet); break;
    case PageMonitor: detail::BuildMonitorPage(sheet); break;
    default: break;
  }
}

QString TemperatureRowText(int row) {
  // Six characters each: the leading blanks belong to the texts.
  return QString("%1 °C").arg(-10 + 15 * row, 3);
}

QString GridRowLabelName(std::string_view groupBoxName, int row) {
  std::string_view stem = groupBoxName;
  if (stem.starts_with("GroupBox")) stem.remove_prefix(8);
  return QString("Label%1Row%2").arg(QString::fromUtf8(stem.data(), static_cast<int>(stem.size()))).arg(row);
}

}  // namespace velmor::ui
