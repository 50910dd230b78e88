// Fixture of the layering check: a test may include a test double.
#include "platform/fake_files.h"
#include "tracking/tracker_harness_for_tests.h"
