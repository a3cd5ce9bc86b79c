// The log commands of the Log menu beside Record and Stop: open a log in the
// viewer (or one of the recent ones), and analyse a log for map corrections.
#pragma once

namespace velmor::ui {

class LogRecorder;
class Session;

// Adds the commands to the recorder's menu. The viewer and the analysis
// dialog are made when first asked for.
void AddLogCommands(Session& window, LogRecorder& recorder);

}  // namespace velmor::ui
