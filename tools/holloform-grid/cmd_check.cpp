// holloform-grid check FILE: prints "ok" when the file loads.
#include <iostream>
#include <memory>

#include "Subcommand.h"
#include "persistence/GridFile.h"

namespace {

int run_check(const std::string& path) {
    try {
        load_grid(path);
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    std::cout << "ok\n";
    return 0;
}

void add_check(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("check", "Check that a grid file loads.");
    command->add_option("FILE", *path, "The grid file to read")->required();
    command->callback([path, &status] { status = run_check(*path); });
}

const SubcommandRegistration registration{{"check FILE", add_check}};

}  // namespace
