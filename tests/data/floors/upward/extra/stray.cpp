#include "base/state.h"
