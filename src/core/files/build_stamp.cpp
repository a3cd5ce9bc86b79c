#include "files/build_stamp.h"

namespace velmor {

// The compiler's own stamps already have the shown format.
const char* BuildDateText() { return __DATE__; }
const char* BuildTimeText() { return __TIME__; }

}  // namespace velmor
