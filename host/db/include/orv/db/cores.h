// Whether work may go to a second thread with a core of its own.
#pragma once

namespace orv::db {

// True when a second core is likely free: the processes waiting to run, averaged over the
// last minute, leave one. On a machine that is busy already a second thread would only
// take turns with the first, and the work would end later than on one.
bool aSecondCoreIsFree();

}  // namespace orv::db
