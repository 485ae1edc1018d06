// One line per budgeted figure, shared by the native and the Windows benchmarks:
//   RESULT <name> <value> <unit> <bound> <budget> pass|FAIL
// or, for a figure shown beside the budgets without one of its own,
//   RESULT <name> <value> <unit> - - -
// scripts/bench.sh collects these lines (with the [win32]/[win64] mark of the Windows
// build that printed them) into its closing table and build/bench/results.json. Names
// and units are single words.
#pragma once

#include <cstdio>

namespace lexbench {

enum class Bound { Below, AtMost, AtLeast };

// Prints the figure's line and returns whether it is within its budget.
inline bool Result(const char* name, double value, const char* unit, Bound bound, double budget)
{
    static const char* const kBounds[] = {"<", "<=", ">="};
    const bool pass = bound == Bound::Below    ? value < budget
                      : bound == Bound::AtMost ? value <= budget
                                               : value >= budget;
    std::printf("RESULT %s %.4g %s %s %.4g %s\n", name, value, unit, kBounds[static_cast<int>(bound)], budget,
                pass ? "pass" : "FAIL");
    std::fflush(stdout);
    return pass;
}

// Prints a figure that has no budget (Figure lines never fail a run).
inline void Figure(const char* name, double value, const char* unit)
{
    std::printf("RESULT %s %.4g %s - - -\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace lexbench
