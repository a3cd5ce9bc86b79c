// The commands that talk to the unit over the serial line (read, program,
// verify, monitor, test-output) register here.
#include "cli.h"

namespace velmor::cli {

void AddLinkCommands(CommandTable& /*table*/) {}

}  // namespace velmor::cli
