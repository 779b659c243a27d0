#pragma once
#include "base/state.h"
#include "listing/list.h"
