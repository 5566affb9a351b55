// The warning rules of scenario_tool check.
#include <gtest/gtest.h>

#include "tools/regole.h"
