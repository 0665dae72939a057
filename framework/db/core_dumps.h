#pragma once
// A process that holds a database password writes no core dump: a crash would otherwise leave
// the password on disk in the dump.

// Stops core dumps for the rest of the process's life (soft and hard limit 0, not dumpable).
// A connection may reconnect at any time, so the password stays held until the process ends.
void forbid_core_dumps();
