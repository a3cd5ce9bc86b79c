// Parameter files (.ign): the writer behind Save and the reader behind Open
// and "Open for actual page". The core never shows a message: the reader
// returns the catalog keys the window shows, in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/file_io.h"
#include "lang/catalog.h"
#include "model/derived.h"
#include "model/image.h"

namespace velmor {

// The texts of the VERSIONS section: the unit's identity texts as the labels
// show them (empty until a block 0 was received), and this program's build
// stamp ("Mar  5 2024", "14:03:59").
struct IgnVersionTexts {
  std::string UnitDate;
  std::string UnitTime;
  std::string UnitName;
  std::string BuildDate;
  std::string BuildTime;
};

// The whole file: header, sections 1 to 40, VERSIONS and the memo lines of
// the note area, with CR LF line breaks.
std::string WriteParameterText(const ParameterImage& image, const IgnVersionTexts& versions);

// Saves atomically (see AtomicWriteFile); on failure the window shows
// MsgFileOpenError and the previous file is unchanged.
WriteStatus SaveParameterFile(const std::string& path, const ParameterImage& image,
                              const IgnVersionTexts& versions);

enum class IgnScope { WholeFile, Page };

enum class IgnReadOutcome {
  Loaded,         // an accepted header was found; the sections were read
  NothingLoaded,  // no accepted header: the image is unchanged
  Refused,        // page scope on a map page the coupled mode protects, or no such page
  CannotOpen,     // the file could not be read (MsgFileOpenError)
  CutOff,         // the file ends inside a section or a line: nothing was loaded
};

struct IgnReadResult {
  IgnReadOutcome Outcome = IgnReadOutcome::NothingLoaded;
  int Version = 0;                // 78 or 63 once loaded
  std::vector<MsgKey> Messages;   // for the window to show, in this order
  // CutOff: the keyword of the part the file ends inside (a section, the
  // header, VERSIONS) and the line it ends in, from 1.
  std::string_view CutIn;
  int CutLine = 0;
  // Loaded: the sections the read looked for and did not find, in the order
  // they are written (MEMO last). Their values stay as they were, or take
  // the defaults a BIKE section applied.
  std::vector<std::string_view> Missing;
  bool Loaded() const { return Outcome == IgnReadOutcome::Loaded; }
};

// "Open for actual page" does nothing at all on the two injection-map pages
// while the maps are coupled (and on a page that does not exist).
bool PageReadRefused(const ParameterImage& image, int page);

// Reads a file's text into the image. Whole-file scope admits every section,
// and BIKE applies the full defaults of the model it names (tables are
// rebuilt along with them); page scope admits only the sections of `page`.
// A file that ends inside a section, or outside the memo in a line without
// its line break, is refused whole in either scope: the image and the tables
// are left as they were. The caller then normalises, refreshes and records
// the change for undo.
IgnReadResult ReadParameterText(std::string_view text, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page = 0);

// What to tell beyond the catalog messages: where a cut-off file ends, or
// which sections a loaded one lacks; empty when there is neither.
std::string IgnReadNotice(const IgnReadResult& result, LanguageCode language);

// The same from a file. A refused page-scope read does not open the file.
IgnReadResult ReadParameterFile(const std::string& path, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page = 0);

}  // namespace velmor
