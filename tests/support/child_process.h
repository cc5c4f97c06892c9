// Runs one named scenario of the child test program (tarvox_child.exe) in a process of its
// own: behaviour that the library keeps once per process is tested there.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvox::test {

// Every member has an initializer, so that callers may name only the members they set.
struct ChildOptions {
    std::wstring sandboxKey{};     // the parent's registry sandbox, redirected in the child too
    std::wstring programFolder{};  // when set, a copy of the child program runs from there
    std::wstring programName = L"tarvox_child.exe";  // the file name of that copy
    std::vector<std::wstring> args{};
    std::wstring program{};  // when set, runs instead of the child program (its own child)
    DWORD timeoutMs = 60000;
};

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    bool timedOut = false;
    DWORD processId = 0;
    std::string output;                         // everything the child printed
    std::map<std::string, std::string> values;  // its "key=value" lines

    bool Passed() const { return !timedOut && exitCode == 0; }
    std::string Value(const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string("<missing>") : it->second;
    }
};

// The folder of the running test program, which holds the child program too.
std::wstring FolderOfThisProgram();

ChildResult RunChildScenario(const std::string& scenario, const ChildOptions& options = {});

class TempFolder;

// A child scenario that runs alongside the test: started by the constructor, ended by Wait
// (or terminated when it is destroyed first).
class RunningChild {
public:
    explicit RunningChild(const std::string& scenario, const ChildOptions& options = {});
    ~RunningChild();
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    ChildResult Wait();
    std::string OutputSoFar() const;

private:
    std::unique_ptr<TempFolder> m_scratch;
    std::wstring m_outputPath;
    DWORD m_timeoutMs;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

std::string Utf8(std::wstring_view text);

}  // namespace tarvox::test
