#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "editor/program_review.h"
#include "files/history.h"
#include "model/defaults.h"
#include "model/normalise.h"
#include "temp_dir.h"

namespace velmor {
namespace {

ParameterImage ModelImage(int model, std::uint8_t fan) {
  ParameterImage image;
  DerivedTables tables;
  image.P(0) = static_cast<std::uint8_t>(model);
  ApplyDefaults(image, tables, DefaultsScope::Whole);
  image.P(35) = fan;
  NormaliseForComparison(image);  // as the window holds it
  return image;
}

std::string Keep(const std::string& dir, const ParameterImage& image, const std::string& unit, std::time_t when) {
  const HistoryWrite w = WriteHistoryEntry(dir, image, {"", "", unit, "", ""}, HistoryKind::Read, when);
  EXPECT_TRUE(w.Status.Ok) << w.Status.Reason;
  return w.Path;
}

constexpr std::time_t kDay = 1796860800;  // a midnight, UTC

// Which image a Program is compared with, for each state of what the session
// and the history know about the unit.
TEST(ProgramReference, SessionFirstThenTheUnitsNewestHistoryFileElseUnknown) {
  TempDir tmp;
  const std::string dir = (tmp.path / "history").string();
  const ParameterImage editor = ModelImage(3, 90);
  const ParameterImage older = ModelImage(3, 91);
  const ParameterImage newest = ModelImage(3, 92);
  const ParameterImage otherUnit = ModelImage(3, 93);
  const ParameterImage inSession = ModelImage(3, 94);
  Keep(dir, older, "Vmr07", kDay + 3600);
  const std::string newestPath = Keep(dir, newest, "Vmr07", kDay + 7200);
  Keep(dir, otherUnit, "Jet01", kDay + 9000);  // newer, but another unit
  Keep(dir, otherUnit, "", kDay + 9100);       // a unit without a name

  struct Case {
    const char* what;
    std::string unit;
    bool rememberInSession;
    bool programFailedAfter;
    ReferenceSource source;
    int fan;  // P+35 of the reference image
  };
  const Case cases[] = {
      {"read or programmed this session", "Vmr07", true, false, ReferenceSource::Session, 94},
      {"only in the history", "Vmr07", false, false, ReferenceSource::History, 92},
      {"never seen", "Zzz99", false, false, ReferenceSource::Unknown, -1},
      {"no unit has answered", "", false, false, ReferenceSource::Unknown, -1},
      {"a programming failed part-way", "Vmr07", true, true, ReferenceSource::Unknown, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UnitMemory session;
    session.Remember("Jet01", otherUnit);
    if (c.rememberInSession) session.Remember(c.unit, inSession);
    if (c.programFailedAfter) session.ForgetAfterFailedProgram(c.unit);
    const ProgramReference ref = ReferenceBeforeProgram(c.unit, session, dir, editor);
    EXPECT_EQ(ref.Source, c.source);
    if (c.source == ReferenceSource::Unknown) continue;
    EXPECT_EQ(ref.Image.P(35), c.fan);
    const ParameterImage& expected = c.source == ReferenceSource::Session ? inSession : newest;
    EXPECT_TRUE(std::ranges::equal(ref.Image.ParamArea(), expected.ParamArea()));
    if (c.source == ReferenceSource::History) {
      EXPECT_EQ(ref.HistoryPath, newestPath);
    }
  }
}

TEST(ProgramReference, AReadOrProgramAfterAFailureMakesTheUnitKnownAgain) {
  UnitMemory session;
  session.Remember("Vmr07", ModelImage(3, 91));
  session.ForgetAfterFailedProgram("Vmr07");
  EXPECT_FALSE(session.Known("Vmr07"));
  session.Remember("Vmr07", ModelImage(3, 95));
  EXPECT_FALSE(session.Uncertain("Vmr07"));
  const ProgramReference ref = ReferenceBeforeProgram("Vmr07", session, "/nonexistent", ModelImage(3, 90));
  EXPECT_EQ(ref.Source, ReferenceSource::Session);
  EXPECT_EQ(ref.Image.P(35), 95);
}

TEST(ProgramReference, AnUnreadableNewestHistoryFileLeavesTheUnitUnknown) {
  TempDir tmp;
  const std::string dir = (tmp.path / "history").string();
  Keep(dir, ModelImage(3, 91), "Vmr07", kDay + 3600);
  std::ofstream(dir + "/" + HistoryFileName(kDay + 7200, HistoryKind::Program, "Vmr07")) << "not a parameter file\n";
  const ProgramReference ref = ReferenceBeforeProgram("Vmr07", UnitMemory{}, dir, ModelImage(3, 90));
  EXPECT_EQ(ref.Source, ReferenceSource::Unknown)
      << "an older file is not what the unit holds if a newer programming went in";
}

}  // namespace
}  // namespace velmor
