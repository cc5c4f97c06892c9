// The subcommands of tarvo. Each registers itself on the application and fills a Document;
// main prints it as text or JSON and turns the outcome into the exit status.
#pragma once

#include "foundation/com_scope.h"
#include "tools/tarvo/document.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace tarvo {

enum ExitStatus : int { kSuccess = 0, kNotFound = 1, kUsageError = 2 };

// Set by a subcommand's callback: the document to print and the status to exit with. A
// command whose output is not a document of sections sets render instead.
struct Outcome {
    Document document;
    int status = kSuccess;
    bool json = false;
    std::function<std::string(bool json)> render;
};

// COM for the XML parts of CUIX packages, for the life of one command: an initialisation that
// succeeded is undone, one that failed is not.
inline tarvox::ComScope CommandCom() {
    return tarvox::ComScope(tarvox::ComApartment::SingleThreaded, tarvox::ComBalance::AfterSuccess);
}

void AddFolderCommands(CLI::App& app, Outcome& outcome);
void AddVariableCommands(CLI::App& app, Outcome& outcome);
void AddConfigCommands(CLI::App& app, Outcome& outcome);
void AddAcadCommands(CLI::App& app, Outcome& outcome);
void AddReportCommand(CLI::App& app, Outcome& outcome);
void AddSupportCommands(CLI::App& app, Outcome& outcome);
void AddProfileCommands(CLI::App& app, Outcome& outcome);
void AddDoctorCommand(CLI::App& app, Outcome& outcome);

// Sections shared between commands and the report.
Section& AddFoldersSection(Document& document);
Section& AddEditionSection(Document& document, bool& known);
Section& AddVariablesSection(Document& document, bool aliases);
Section& AddFullVariablesSection(Document& document);
// "any" / "found" tell whether the section shows something installed.
Section& AddAcadProductsSection(Document& document, bool& any);
Section& AddCurrentAcadSection(Document& document, bool& found);
Section& AddReleaseFlagsSection(Document& document, bool& any);
Section& AddAcadFoldersSection(Document& document, int year, bool& any);
Section& AddSupportPathSection(Document& document, bool allProfiles, bool& any);
// quick profiles unless full; "any" tells whether a product was found.
Section& AddProfilesSection(Document& document, bool full, bool& any);

}  // namespace tarvo
