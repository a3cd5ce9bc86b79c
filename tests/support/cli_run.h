// The command-line tool run in-process, as the tests see it: the exit code
// and what it wrote to each stream.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace velmor::cli {

struct Result {
  int code;
  std::string out, err;
};

inline Result RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = Run(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace velmor::cli
