// holloform-grid: creates and inspects grid files from the command line.
// Exit status: 0 on success, 1 when a file cannot be read or written, 2 for
// bad arguments.
#include <iostream>

#include "Subcommand.h"

namespace {

constexpr int kBadArguments = 2;

// The usage of the subcommand being parsed, or of every subcommand when none
// was recognised.
void print_usage(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    for (const Subcommand& subcommand : registered_subcommands()) {
        const std::string usage = subcommand.usage;
        const std::string name = usage.substr(0, usage.find(' '));
        if (chosen.empty() || chosen.front()->get_name() == name) {
            std::cerr << "usage: holloform-grid " << usage << '\n';
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Creates and inspects grid files.", "holloform-grid"};
    app.require_subcommand(1);
    int status = 0;
    for (const Subcommand& subcommand : registered_subcommands()) subcommand.add(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& request) {
        return app.exit(request);
    } catch (const CLI::ParseError& error) {
        std::cerr << "holloform-grid: " << error.what() << '\n';
        print_usage(app);
        return kBadArguments;
    } catch (const std::exception& error) {
        std::cerr << "holloform-grid: " << error.what() << '\n';
        return 1;
    }
    return status;
}
