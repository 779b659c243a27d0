#pragma once
#include <vector>
#include "fem/model.h"
