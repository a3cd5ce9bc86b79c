// The four-language text catalog: every message, status text and live-display
// stem the program shows. Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

enum class LanguageCode : std::uint8_t { English = 0, German = 1, French = 2, Czech = 3 };
inline constexpr int kLanguageCount = 4;

// Any stored value outside 0..3 (a hand-edited settings file) means English.
constexpr LanguageCode LanguageFromByte(unsigned value) {
  return value < 4 ? static_cast<LanguageCode>(value) : LanguageCode::English;
}

// Message keys. The order of the Tune* keys is the unit's tuning status code
// (TuneRpmZero = code 0 ... TuneCoupled = code 14).
enum class MsgKey : std::uint16_t {
  HelpFileName,
  MsgHelpOpenError,
  MsgProgramError,
  MsgVerifyError,
  MsgReadError,
  MsgProgramming,
  MsgVerifying,
  MsgReading,
  MsgSaving,
  MsgVersionMismatch,
  MsgComOpenError,
  MsgFileOpenError,
  MsgFileVersionMismatch,
  MsgFileOlderVersion,
  MsgAskDefaults,
  MsgAskDefaultsPage,
  MsgBikeNotSupported,
  TxtPrintDateTime,
  TxtSavedAsPdf,
  TxtUnitTunesMap,
  TxtAdvance,
  TxtProgramCount,
  TxtBlocking,
  TxtYes,
  TxtNo,
  TxtBlink,
  TxtStartLimiter,
  TxtIgnLimiter,
  TxtJetLimiter,
  TxtRetardLimiter,
  TxtPickup,
  TxtBaseAdvance,
  TxtInjTime,
  TxtMaxInj,
  TxtPosition,
  TxtGear,
  TxtSpeed,
  TxtShiftLight,
  TxtCylCorrection,
  TxtClutchMaster,
  TxtTachoLambda,
  TxtCoolant,
  TxtStartSwitch,
  TxtClutch,
  TxtNeutral,
  TxtSideStand,
  TxtOilOk,
  TxtLambdaHeat,
  TxtFan,
  TxtFuel,
  TuneRpmZero,
  TuneNoLoadSensor,
  TuneOff,
  TuneAccelTooHigh,
  TuneBothMaps,
  TuneNotInPoint,
  TuneLambdaVoltageError,
  TuneRpmBelow,
  TuneRpmAbove,
  TuneLoadBelow,
  TuneLoadAbove,
  TuneAdding,
  TuneDecreasing,
  TuneOk,
  TuneCoupled,
  WindowTitle,
  Count
};

inline constexpr int kMsgKeyCount = static_cast<int>(MsgKey::Count);

// The text of one key in one language, composites resolved. A language value
// outside 0..3 reads the English column; MsgKey::Count (or any value past it)
// gives an empty text.
std::string CatalogText(MsgKey key, LanguageCode language);

// The texts of every key for one language, as the window holds them between
// language changes. A message reads its string when it is shown, so a box
// already open keeps the language it was opened in. Default-constructed, every
// text is empty (the state before the first language application).
struct ResolvedTexts {
  LanguageCode language = LanguageCode::English;
  std::array<std::string, kMsgKeyCount> texts{};

  // An out-of-range key reads as an empty text.
  const std::string& operator[](MsgKey key) const;
};

// Rebuilds every text for `language`, the help file name first because the
// help error message embeds it.
ResolvedTexts ResolveTexts(LanguageCode language);

// The key of a closed-loop tuning status code (0..14). Any other code has no
// text: the status label keeps what it shows.
std::optional<MsgKey> TuningStatusKey(int code);

// The key's identifier ("MsgProgramError"), for diagnostics and tests;
// empty for an out-of-range key.
std::string_view MsgKeyName(MsgKey key);

}  // namespace velmor
