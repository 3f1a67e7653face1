// Placeholder until the batch front end lands.
#include "cli/batch.h"

namespace kolvane {
int BatchMain(int, char**) { return 2; }
}  // namespace kolvane
