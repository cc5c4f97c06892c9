// tarvo: what the Tarvox library sees on this machine, for support engineers and scripts.
#include "tools/tarvo/commands.h"

#include <windows.h>

#include <cstdio>

namespace {

void Write(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace tarvo;
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

    CLI::App app{"tarvo: what the Tarvox library sees on this machine", "tarvo"};
    app.require_subcommand(1);
    Outcome outcome;
    AddReportCommand(app, outcome);
    AddAcadCommands(app, outcome);
    AddSupportCommands(app, outcome);
    AddProfileCommands(app, outcome);
    AddFolderCommands(app, outcome);
    AddVariableCommands(app, outcome);
    AddConfigCommands(app, outcome);
    AddDoctorCommand(app, outcome);

    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp&) {
        Write(stdout, app.help());
        return kSuccess;
    } catch (const CLI::CallForAllHelp&) {
        Write(stdout, app.help("", CLI::AppFormatMode::All));
        return kSuccess;
    } catch (const CLI::ParseError& error) {
        // Help of a subcommand arrives here too, with status 0.
        if (error.get_exit_code() == 0) {
            const CLI::App* deepest = &app;
            while (!deepest->get_subcommands().empty())
                deepest = deepest->get_subcommands().front();
            if (deepest != &app) Write(stdout, deepest->help());
            if (app.get_subcommands().empty()) Write(stdout, app.help());
            return kSuccess;
        }
        Write(stderr,
              std::string("tarvo: ") + error.what() + "\nRun 'tarvo --help' for the commands.\n");
        return kUsageError;
    } catch (const std::exception& error) {
        Write(stderr, std::string("tarvo: ") + error.what() + "\n");
        return kNotFound;
    }
    if (outcome.render) {
        Write(stdout, outcome.render(outcome.json));
    } else {
        Write(stdout, outcome.json ? RenderJson(outcome.document) : RenderText(outcome.document));
    }
    return outcome.status;
}
