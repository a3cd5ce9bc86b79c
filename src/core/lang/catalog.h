// The four-language text catalog: every message, status text and live-display
// stem the program shows. Texts are UTF-8.
#pragma once

#include <cstdint>
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

// The text of one key in one language, composites resolved.
std::string CatalogText(MsgKey key, LanguageCode language);

}  // namespace velmor
