#pragma once
// A support header reaching up into the run sequence: the layering check
// must refuse it.
#include "run/main_run.h"
