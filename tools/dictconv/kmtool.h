// The kmtool command line: parses the arguments, runs one conversion and prints its
// messages. main() only hands over the arguments and the exit code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kmtool {

enum ExitCode {
    kExitOk = 0,
    kExitRejected = 1, // some lines were rejected (reported one by one)
    kExitFailure = 2,  // bad command line, unreadable input, output not written
};

// args[0] is the program name. Messages and the usage text go to err; --stats and
// output sent to the standard output go to out.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kmtool
