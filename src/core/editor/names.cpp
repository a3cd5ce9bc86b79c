#include "editor/names.h"

#include <array>
#include <string>

namespace velmor {
namespace {

template <std::size_t N>
struct NameArray {
  std::array<std::string, N> Items;
  NameArray(std::string_view prefix, int first, std::string_view suffix = {}) {
    for (std::size_t i = 0; i < N; ++i) {
      Items[i] = std::string(prefix) + std::to_string(first + static_cast<int>(i)) + std::string(suffix);
    }
  }
  std::string_view operator()(int i) const {
    return i >= 0 && i < static_cast<int>(N) ? std::string_view(Items[i]) : std::string_view();
  }
};

// Built once, on first use; every view handed out points into these.
struct AllNames {
  NameArray<kMapRows> TpsRowLabel{"TpsRowLabel", 0};
  NameArray<kMapColumns> RpmAxisEdit{"EditRpmAxisField", 0};
  NameArray<kMapColumns> RpmAxisUpDown{"UpDownRpmAxisField", 0};
  NameArray<kMapColumns> ColumnStepButton{"ColumnStepButton", 0};
  NameArray<kMapCells> MapCellEdit{"EditMapCell", 0};
  NameArray<kMapCells> MapCellUpDown{"UpDownMapCell", 0};
  NameArray<kMapCells> CellTimeLabel{"CellTimeLabel", 0};
  NameArray<kMapHeaderCount> MapHeaderLabel{"MapHeaderLabel", 0};
  NameArray<kMapExtraCount> MapExtraEdit{"EditMapExtra", 0};
  NameArray<kMapExtraCount> MapExtraUpDown{"UpDownMapExtra", 0};
  NameArray<kMapColumns> PolohaARpmEdit{"EditPolohaARpm", 0};
  NameArray<kMapColumns> PolohaAPozEdit{"EditPolohaAPoz", 0};
  NameArray<kTemp5Count> KorVodaEdit{"EditKorVoda", 0};
  NameArray<kTemp5Count> KorVzduchEdit{"EditKorVzduch", 0};
  NameArray<kTemp5Count> IgnVodaEdit{"EditIgnVoda", 0};
  NameArray<kTemp5Count> SyticCasEdit{"EditSyticCas", 0};
  NameArray<kTemp5Count> SyticKorekceEdit{"EditSyticKorekce", 0};
  NameArray<kIdleTableRows> IdleServoPozUpDown{"UpDownIdleServoPoz", 0};
  NameArray<kGearCount> RpmSpeedProGearEdit{"EditRpmSpeedProGear", 0};
  NameArray<kGearCount> GearKorAdvEdit{"EditGearKorAdv", 0};
  NameArray<kGearCount> GearKorAdvUpDown{"UpDownGearKorAdv", 0};
  NameArray<kGearCount> GearKorJetEdit{"EditGearKorJet", 0};
  NameArray<kGearCount> GearKorJetUpDown{"UpDownGearKorJet", 0};
  NameArray<kGearCount> ButtonGear{"ButtonGear", 1};
  NameArray<kGearCount> LabelPomerRpmSpeed{"LabelPomerRpmSpeed", 1};
  NameArray<kGearCount> LabelMonPomerRpmSpeedAuto{"LabelMonPomerRpmSpeedAuto", 1};
  NameArray<kGearCount> LabelMonGearAuto{"LabelMonGearAuto", 1};
  NameArray<kGearCount> LabelGearKor{"LabelGearKor", 1};
  NameArray<kGearCount> LabelRaceGear{"LabelRaceGear", 1};
  std::array<NameArray<kGearCount>, kClutchPairs> ClutchEdit{
      NameArray<kGearCount>{"EditClutchPilotA", 0}, NameArray<kGearCount>{"EditClutchPilotB", 0},
      NameArray<kGearCount>{"EditClutchTime", 0}, NameArray<kGearCount>{"EditClutchPause", 0}};
  std::array<NameArray<kGearCount>, kClutchPairs> ClutchUpDown{
      NameArray<kGearCount>{"UpDownClutchPilotA", 0}, NameArray<kGearCount>{"UpDownClutchPilotB", 0},
      NameArray<kGearCount>{"UpDownClutchTime", 0}, NameArray<kGearCount>{"UpDownClutchPause", 0}};
};

const AllNames& Names() {
  static const AllNames names;
  return names;
}

}  // namespace

std::string_view EditorNames::TpsRowLabel(int row) { return Names().TpsRowLabel(row); }
std::string_view EditorNames::RpmAxisEdit(int column) { return Names().RpmAxisEdit(column); }
std::string_view EditorNames::RpmAxisUpDown(int column) { return Names().RpmAxisUpDown(column); }
std::string_view EditorNames::ColumnStepButton(int column) { return Names().ColumnStepButton(column); }
std::string_view EditorNames::MapCellEdit(int k) { return Names().MapCellEdit(k); }
std::string_view EditorNames::MapCellUpDown(int k) { return Names().MapCellUpDown(k); }
std::string_view EditorNames::CellTimeLabel(int k) { return Names().CellTimeLabel(k); }
std::string_view EditorNames::MapHeaderLabel(int n) { return Names().MapHeaderLabel(n); }
std::string_view EditorNames::MapExtraEdit(int n) { return Names().MapExtraEdit(n); }
std::string_view EditorNames::MapExtraUpDown(int n) { return Names().MapExtraUpDown(n); }
std::string_view EditorNames::PolohaARpmEdit(int i) { return Names().PolohaARpmEdit(i); }
std::string_view EditorNames::PolohaAPozEdit(int i) { return Names().PolohaAPozEdit(i); }
std::string_view EditorNames::KorVodaEdit(int i) { return Names().KorVodaEdit(i); }
std::string_view EditorNames::KorVzduchEdit(int i) { return Names().KorVzduchEdit(i); }
std::string_view EditorNames::IgnVodaEdit(int i) { return Names().IgnVodaEdit(i); }

std::string_view EditorNames::SyticCasCell(int i) {
  // The first time point is fixed at 0 s and shown by a label, not an edit.
  if (i == 0) return "LabelSyticCas0";
  return Names().SyticCasEdit(i);
}

std::string_view EditorNames::SyticKorekceCell(int i) {
  // At the last point the correction is fixed at 100 % and shown by a label.
  if (i == 4) return "LabelSyticKorekce4";
  return i >= 0 && i < 4 ? Names().SyticKorekceEdit(i) : std::string_view();
}

std::string_view EditorNames::IdleServoPozUpDown(int i) { return Names().IdleServoPozUpDown(i); }
std::string_view EditorNames::RpmSpeedProGearEdit(int row) { return Names().RpmSpeedProGearEdit(row); }
std::string_view EditorNames::GearKorAdvEdit(int row) { return Names().GearKorAdvEdit(row); }
std::string_view EditorNames::GearKorAdvUpDown(int row) { return Names().GearKorAdvUpDown(row); }
std::string_view EditorNames::GearKorJetEdit(int row) { return Names().GearKorJetEdit(row); }
std::string_view EditorNames::GearKorJetUpDown(int row) { return Names().GearKorJetUpDown(row); }
std::string_view EditorNames::ButtonGear(int gear) { return Names().ButtonGear(gear - 1); }
std::string_view EditorNames::LabelPomerRpmSpeed(int gear) { return Names().LabelPomerRpmSpeed(gear - 1); }
std::string_view EditorNames::LabelMonPomerRpmSpeedAuto(int gear) {
  return Names().LabelMonPomerRpmSpeedAuto(gear - 1);
}
std::string_view EditorNames::LabelMonGearAuto(int gear) { return Names().LabelMonGearAuto(gear - 1); }
std::string_view EditorNames::LabelGearKor(int gear) { return Names().LabelGearKor(gear - 1); }

std::string_view EditorNames::ClutchEdit(int pair, int row) {
  return pair >= 0 && pair < kClutchPairs ? Names().ClutchEdit[pair](row) : std::string_view();
}
std::string_view EditorNames::ClutchUpDown(int pair, int row) {
  return pair >= 0 && pair < kClutchPairs ? Names().ClutchUpDown[pair](row) : std::string_view();
}
std::string_view EditorNames::LabelRaceGear(int gear) { return Names().LabelRaceGear(gear - 1); }

}  // namespace velmor
