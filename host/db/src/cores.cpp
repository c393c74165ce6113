#include "orv/db/cores.h"

#include <cstdlib>
#include <thread>

namespace orv::db {

bool aSecondCoreIsFree() {
  const unsigned cores = std::thread::hardware_concurrency();
  double load[1];
  return cores > 1 && (getloadavg(load, 1) != 1 || load[0] < cores - 0.5);
}

}  // namespace orv::db
