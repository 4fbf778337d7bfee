// kestra-cli: the core of the editor on the command line, for scripting and testing.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "model/heap_tuning.h"

namespace {

using namespace kestra::cli;

void addCommands(CLI::App& app) {
    addSongsCommand(app);
    addDumpCommand(app);
    addCreateCommand(app);
    addSpaceCommand(app);
    addShowCommand(app);
    addRoundtripCommand(app);
    addPatchCommand(app);
    addApplyCommand(app);
    addRenderCommand(app);
    addTimelineCommand(app);
}

// `kestra-cli help [COMMAND]`, as well as --help.
void addHelpCommand(CLI::App& app) {
    auto topic = std::make_shared<std::string>();
    CLI::App* cmd =
        addCommand(app, "help", "show the help of kestra-cli or of one command", "", [&app, topic] {
            if (topic->empty()) {
                std::cout << app.help();
                return kDone;
            }
            for (const CLI::App* sub : app.get_subcommands({}))
                if (sub->get_name() == *topic) {
                    std::cout << sub->help("kestra-cli");
                    return kDone;
                }
            return usageError("unknown command \"" + *topic + "\"");
        });
    cmd->add_option("COMMAND", *topic, "the command to explain");
}

int run(int argc, char** argv) {
    CLI::App app("The song tools of Kestra Music Editor on the command line.", "kestra-cli");
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", "kestra-cli " KESTRA_VERSION);
    app.footer(
        "Options may stand anywhere; \"--\" ends them. \"-\" as a file name means standard\n"
        "input or standard output. Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n"
        "kestra-cli COMMAND --help shows the help of a command.");
    app.get_formatter()->column_width(26);
    addCommands(app);
    addHelpCommand(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        app.exit(e, std::cout, std::cerr);
        return kDone;
    } catch (const CLI::CallForAllHelp& e) {
        app.exit(e, std::cout, std::cerr);
        return kDone;
    } catch (const CLI::CallForVersion& e) {
        app.exit(e, std::cout, std::cerr);
        return kDone;
    } catch (const CLI::ParseError& e) {
        return usageError(std::string(e.what()) + "\n(kestra-cli --help shows the usage)");
    }
    if (app.get_subcommands().empty()) {
        std::cerr << app.help();
        return kUsage;
    }
    return runChosenCommand(app);
}

}  // namespace

int main(int argc, char** argv) {
    kestra::keepFreedMemoryForReuse();
    int status = run(argc, argv);
    if (auto flushed = flushStdout(); !flushed) {
        printError(flushed.error());
        if (status == kDone) status = kFailed;
    }
    return status;
}
