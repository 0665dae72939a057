#include "framework/db/core_dumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

void forbid_core_dumps() {
  const rlimit none{0, 0};
  setrlimit(RLIMIT_CORE, &none);
  // Also covers a core_pattern that pipes to a program, which ignores RLIMIT_CORE.
  prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}
