// Fixture of the layering check: production code that includes a test double.
#include "platform/fake_files.h"
