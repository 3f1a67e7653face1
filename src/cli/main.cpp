// kolvane-batch: the analyses without a window.
#include "cli/batch.h"

int main(int argc, char** argv) {
  return kolvane::BatchMain(argc, argv);
}
