// scenario_tool check: every problem of a scenario in one run.
#include <gtest/gtest.h>
