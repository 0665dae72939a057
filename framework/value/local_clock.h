#pragma once
// The station's clock, read in its local time (the one place that asks the system).

#include "framework/value/value.h"

datetime local_now();
datetime day_of(datetime t);  // midnight of the same day
