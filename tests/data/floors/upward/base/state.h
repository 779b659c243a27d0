#pragma once
#include "fem/model.h"
