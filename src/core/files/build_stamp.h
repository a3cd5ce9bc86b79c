// When this program was built: the stamp the About window and the VERSIONS
// section of a parameter file show.
#pragma once

namespace velmor {

// "Feb 23 2009": English month, blank-padded day, four-digit year.
const char* BuildDateText();
// "16:03:58".
const char* BuildTimeText();

}  // namespace velmor
