// Port numbers and the texts built from them.
#pragma once

#include <string>

#include "link/link_state.h"

namespace velmor {

// The port number OpenPort uses: COM(ScanIndex + 1) in automatic mode (so a
// ScanIndex of 255 from an old settings file gives 256), else the selection.
int PortNumberFor(const PortState& port);

// The device name of port n as the unit's original platform spells it
// ("\\.\COM3"), and the LabelCom text: "COM= " then that name from its fifth
// character on, at most ten characters.
std::string PortDeviceName(int portNumber);
std::string LabelComText(int portNumber);

// Captions of the MenuCom items: "Com 1" ... "Com 20", "Com Auto".
std::string ComMenuCaption(int item);

// The ScanIndex step of a reconnection: +1 in 8 bits, above 20 back to 0.
std::uint8_t NextScanIndex(std::uint8_t scanIndex);

}  // namespace velmor
