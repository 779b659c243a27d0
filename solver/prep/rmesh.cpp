// Placeholder until the mesh generator lands.
#include "entry/run_driver.h"
namespace wf {
bool RMESH(RunState&, int, int, int) { return false; }
}
