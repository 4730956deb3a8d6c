// How the program's heap treats freed memory.
#pragma once

namespace vaultra {

// A calculation frees and takes again tens of megabytes a run: result and
// check tables, result-file texts. The C library hands every large block
// back to the kernel when it is freed and takes the memory again page by
// page when a block is next needed, which cost a quarter of a run in page
// faults. Called first thing by the programs: large blocks come from the
// heap, and freed memory stays with the process for the next allocation.
void KeepFreedMemoryForReuse();

}  // namespace vaultra
