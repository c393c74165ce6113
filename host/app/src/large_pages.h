// The program's memory in large pages, where the system offers them.
#pragma once

namespace orv::app {

// Starts the program again, once, with the C library asked to hand out memory in
// transparent huge pages; returns only when that is not needed or cannot be done.
//
// A large drawing takes hundreds of megabytes in small blocks, and the first touch of
// each 4 KiB page of them costs a fault: on a virtual machine, a trip to the hypervisor
// of some microseconds. In 2 MiB pages a drawing of 800,000 entities opens a quarter
// faster. The C library reads that choice (a tunable) only when a program starts.
void restartWithLargePages(char** argv);

}  // namespace orv::app
