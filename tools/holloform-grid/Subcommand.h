#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <vector>

#include "grid/IntBox.h"
#include "persistence/Exception.h"

// A subcommand of holloform-grid. Each cmd_*.cpp defines one and registers it
// with a static SubcommandRegistration; main() adds every registered
// subcommand to the command line parser.
struct Subcommand {
    // The argument synopsis shown after "usage: holloform-grid ".
    const char* usage;
    // Adds the subcommand to `app`; its callback runs the command and stores
    // the process exit status in `status`.
    void (*add)(CLI::App& app, int& status);
};

std::vector<Subcommand>& registered_subcommands();

struct SubcommandRegistration {
    explicit SubcommandRegistration(Subcommand subcommand) { registered_subcommands().push_back(subcommand); }
};

// Writes a file error's message, its detail and the system's reason (when
// it has them) to standard error, one per line; returns the exit status for
// a failed command.
int report_file_error(const Util_E26EF::Exception& error);

// Says on standard error that an export found no surface in its box, so an
// empty export is never silent; the command still succeeds.
void report_empty_box();

// The names of the six box bound arguments, lower corner first.
extern const char* const kBoundNames[6];

// The box the six bound arguments give, or an explanation on standard error
// and false when a bound lies outside a grid of this side or a lower bound
// lies above its upper one.
bool checked_box(const int64_t (&bounds)[6], uint32_t side, IntBox& box);
