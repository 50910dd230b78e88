// Fixture of the layering check: production code that includes test support.
#pragma once
#include "tracking/tracker_harness_for_tests.h"
