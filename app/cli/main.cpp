// wellfit-cli: pumping-test analysis with the Wellfit solver from the command line.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "options.h"
#include "run_sequence.h"
#include "wellfit_version.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    wf::cli::Options options;
    if (const auto error = wf::cli::parseOptions(args, options)) {
        std::cerr << "wellfit-cli: " << *error << '\n';
        // A script that asked for JSON reads one object on standard output, also now.
        if (std::find(args.begin(), args.end(), "--json") != args.end()) {
            wf::cli::AnalysisOutcome outcome;
            outcome.error = *error;
            std::cout << wf::cli::fitJson(outcome, wf::cli::kBadCommandLine) << std::endl;
        }
        return wf::cli::kBadCommandLine;
    }
    if (options.version) {
        std::cout << "wellfit-cli " WELLFIT_VERSION "\n";
        return wf::cli::kSuccess;
    }
    if (options.help) {
        std::cout << wf::cli::helpText();
        return wf::cli::kSuccess;
    }
    if (options.fit.json) {
        // Standard output carries the one JSON object; everything else goes to standard error.
        wf::cli::AnalysisOutcome outcome;
        const int code = wf::cli::runSequence(options, std::cerr, std::cerr, &outcome);
        std::cout << wf::cli::fitJson(outcome, code) << std::endl;
        return code;
    }
    return wf::cli::runSequence(options, std::cout, std::cerr);
}
