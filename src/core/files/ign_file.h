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
};

struct IgnReadResult {
  IgnReadOutcome Outcome = IgnReadOutcome::NothingLoaded;
  int Version = 0;                // 78 or 63 once loaded
  std::vector<MsgKey> Messages;   // for the window to show, in this order
  bool Loaded() const { return Outcome == IgnReadOutcome::Loaded; }
};

// "Open for actual page" does nothing at all on the two injection-map pages
// while the maps are coupled (and on a page that does not exist).
bool PageReadRefused(const ParameterImage& image, int page);

// Reads a file's text into the image. Whole-file scope admits every section,
// and BIKE applies the full defaults of the model it names (tables are
// rebuilt along with them); page scope admits only the sections of `page`.
// The caller then normalises, refreshes and records the change for undo.
IgnReadResult ReadParameterText(std::string_view text, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page = 0);

// The same from a file. A refused page-scope read does not open the file.
IgnReadResult ReadParameterFile(const std::string& path, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page = 0);

}  // namespace velmor
