#include "base/state.h"
#include "wfcore/wfcore.h"
