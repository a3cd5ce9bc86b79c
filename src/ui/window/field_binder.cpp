#include "ui/window/field_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "files/memo.h"
#include "model/defaults.h"
#include "ui/widgets/up_down.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {
namespace {

// Calls fn(field, index) for every row of the field table on `page`.
template <typename Fn>
void ForFieldsOf(int page, Fn&& fn) {
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].Page == page) fn(fields[i], static_cast<int>(i));
  }
}

}  // namespace

FieldBinder::FieldBinder(ParameterImage& image, DerivedTables& tables, WindowControls& controls,
                         std::array<std::uint8_t, PageCount>& allCells)
    : image_(image), tables_(tables), controls_(controls), allCells_(allCells) {}

void FieldBinder::TransferField(const FieldDef& f, int index) {
  const FieldControls& c = controls_.Fields[index];
  switch (f.Kind) {
    case ControlKind::FieldPair:
      if (c.Spinner) StoreShownValue(f, c.Spinner->ReadValue(), image_, tables_);
      break;
    case ControlKind::CheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(c.Control)) StoreShownValue(f, box->isChecked() ? 1 : 0, image_);
      break;
    case ControlKind::RadioGroup:
      if (auto* r = qobject_cast<RadioGroup*>(c.Control)) StoreShownValue(f, r->ItemIndex(), image_);
      break;
    case ControlKind::ComboBox:
      if (auto* combo = qobject_cast<QComboBox*>(c.Control)) StoreShownValue(f, combo->currentIndex(), image_);
      break;
    case ControlKind::Memo:
      if (auto* memo = qobject_cast<QPlainTextEdit*>(c.Control)) {
        const QByteArray text = memo->toPlainText().toUtf8();
        WriteNoteText(image_, std::string_view(text.constData(), text.size()));
      }
      break;
    case ControlKind::MenuGroup:
      break;
  }
}

void FieldBinder::RefreshField(const FieldDef& f, int index) {
  const FieldControls& c = controls_.Fields[index];
  switch (f.Kind) {
    case ControlKind::FieldPair:
      if (c.Spinner) {
        if (f.Range != RangeRule::Fixed) {
          const FieldRange r = RangeOf(f, image_);
          c.Spinner->SetRange(r.Min, r.Max);
          c.Spinner->SetIncrement(r.Step);
        }
        c.Spinner->SetField(ShownValue(f, image_, tables_));
      }
      break;
    case ControlKind::CheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(c.Control)) box->setChecked(RawValue(f, image_) != 0);
      break;
    case ControlKind::RadioGroup:
      if (auto* r = qobject_cast<RadioGroup*>(c.Control)) r->SetItemIndex(RawValue(f, image_));
      break;
    case ControlKind::ComboBox:
      if (auto* combo = qobject_cast<QComboBox*>(c.Control)) {
        const int model = RawValue(f, image_);
        if (model < kBikeModelCount) {
          combo->setCurrentIndex(model);
        } else {
          combo->setCurrentIndex(kBikeModelCount);
          if (UnsupportedModelShown) UnsupportedModelShown();
        }
      }
      break;
    case ControlKind::Memo:
      if (auto* memo = qobject_cast<QPlainTextEdit*>(c.Control)) memo->setPlainText(Utf8(NoteText(image_)));
      break;
    case ControlKind::MenuGroup:
      break;
  }
}

void FieldBinder::TransferPage(int page) {
  if (IsMapPage(page)) {
    TransferMapPage(page);
    return;
  }
  ForFieldsOf(page, [this](const FieldDef& f, int i) {
    if (f.Flow == FieldFlow::TransferAndRefresh) TransferField(f, i);
  });
}

void FieldBinder::TransferMapPage(int page) {
  const MapPanelWidgets& map = controls_.Map;
  std::array<std::uint8_t, kMapColumns> axis{};
  for (int i = 0; i < kMapColumns; ++i) axis[i] = static_cast<std::uint8_t>(map.AxisSpin[i]->ReadValue() / 100);
  Map150 cells{};
  for (int k = 0; k < kMapCells; ++k) cells[k] = static_cast<std::uint16_t>(map.CellSpin[k]->ReadValue());
  StoreMapPage(image_, tables_, page, axis, cells);
  if (page == PageAdvance) {
    ForFieldsOf(PageAdvance, [this](const FieldDef& f, int i) {
      if (f.Grid == FieldGrid::MapExtra || f.Kind == ControlKind::CheckBox) TransferField(f, i);
    });
  }
  allCells_[page] = map.All->isChecked() ? 1 : 0;
}

void FieldBinder::RefreshPage(int page) {
  if (IsMapPage(page)) {
    RefreshMapPage(page);
    return;
  }
  ForFieldsOf(page, [this](const FieldDef& f, int i) {
    if (f.Flow != FieldFlow::OwnHandler) RefreshField(f, i);
  });
  if (page == PageBike) {
    if (const FieldDef* f = FindField(PageBike, "UpDownRpmKorekce")) {
      const FieldControls& c = controls_.Fields[static_cast<std::size_t>(f - EditorFields().data())];
      if (c.Edit && c.Spinner) c.Edit->setText(QString::number(c.Spinner->Position()));
    }
    if (QCheckBox* program = controls_.ProgramAfterChange) {
      program->setStyleSheet(program->isChecked() ? "background-color: red;" : "");
    }
  }
}

void FieldBinder::RefreshMapPage(int page) {
  const MapPanelWidgets& map = controls_.Map;
  if (map.Panel->parentWidget() != controls_.Sheets[page]) PutMapPanelOn(map, controls_.Sheets[page]);
  RebuildBaseTimes(image_, tables_);
  if (page != PageAdvance) {
    const bool first = page == PageInj1;
    TimeToPercent(image_, first ? kInj1FirstWord : kInj2FirstWord, first ? tables_.BaseTime1 : tables_.BaseTime2,
                  first ? tables_.PercentMap1 : tables_.PercentMap2);
  }
  ForFieldsOf(page, [this](const FieldDef& f, int i) {
    const FieldControls& c = controls_.Fields[static_cast<std::size_t>(i)];
    if (f.Grid == FieldGrid::MapCells && c.Spinner) {
      // Cells are always rewritten, with the range of the page shown.
      c.Spinner->SetRange(f.Min, f.Max);
      c.Spinner->SetIncrement(f.Step);
      c.Spinner->SetValueAndText(ShownValue(f, image_, tables_));
    } else if (f.Flow != FieldFlow::OwnHandler) {
      if (c.Spinner) {
        c.Spinner->SetRange(f.Min, f.Max);
        c.Spinner->SetIncrement(f.Step);
      }
      RefreshField(f, i);
    }
  });
  map.All->setChecked(allCells_[page] != 0);
  if (MapRefreshed) MapRefreshed();
}

}  // namespace velmor::ui
