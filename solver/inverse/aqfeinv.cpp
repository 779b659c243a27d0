// Placeholder until the inversion driver lands.
#include "entry/run_driver.h"
namespace wf {
void AQFEINV(RunState&, int, int) {}
}
