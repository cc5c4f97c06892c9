#include "tests/support/child_process.h"

#include "foundation/unique_handle.h"
#include "text/code_pages.h"
#include "text/text_codec.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <stdexcept>

namespace tarvox::test {

std::string Utf8(std::wstring_view text) {
    return tarvox::SystemCodePages().encode(tarvox::kCodePageUtf8, text);
}

std::wstring FolderOfThisProgram() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.rfind(L'\\'));
}

namespace {

// One argument as the C runtime of the child splits its command line again.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\') += c;
        backslashes = 0;
    }
    return result.append(backslashes * 2, L'\\') + L"\"";
}

}  // namespace

RunningChild::RunningChild(const std::string& scenario, const ChildOptions& options)
    : m_scratch(std::make_unique<TempFolder>()), m_timeoutMs(options.timeoutMs) {
    std::wstring program =
        options.program.empty() ? FolderOfThisProgram() + L"\\tarvox_child.exe" : options.program;
    if (!options.programFolder.empty()) {
        const std::wstring copy = options.programFolder + L"\\" + options.programName;
        if (!CopyFileW(program.c_str(), copy.c_str(), FALSE))
            throw std::runtime_error("cannot copy the child program");
        program = copy;
    }
    std::wstring commandLine =
        Quoted(program) + L" --scenario " + Quoted(std::wstring(scenario.begin(), scenario.end()));
    if (!options.sandboxKey.empty()) commandLine += L" --sandbox " + Quoted(options.sandboxKey);
    for (const std::wstring& argument : options.args) commandLine += L" " + Quoted(argument);

    // The child writes into a file rather than a pipe, so that a hanging child cannot block
    // the parent: it is waited for with a time limit and then read.
    m_outputPath = *m_scratch / L"output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const FileHandle output(CreateFileW(m_outputPath.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) throw std::runtime_error("cannot create the child output file");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = output.Get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start the child program");
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
}

RunningChild::~RunningChild() {
    if (m_process == nullptr) return;
    TerminateProcess(m_process, 0xDEAD);
    WaitForSingleObject(m_process, 5000);
    CloseHandle(m_process);
}

std::string RunningChild::OutputSoFar() const { return ReadFileBytes(m_outputPath); }

ChildResult RunningChild::Wait() {
    ChildResult result;
    if (m_process == nullptr) return result;
    if (WaitForSingleObject(m_process, m_timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(m_process, 0xDEAD);
        WaitForSingleObject(m_process, 5000);
    }
    GetExitCodeProcess(m_process, &result.exitCode);
    CloseHandle(m_process);
    m_process = nullptr;
    result.processId = m_processId;
    result.output = ReadFileBytes(m_outputPath);
    // The "key=value" lines, with or without a carriage return.
    for (std::size_t start = 0, end = 0; start < result.output.size(); start = end + 1) {
        end = std::min(result.output.find('\n', start), result.output.size());
        std::string line = result.output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (const auto equals = line.find('='); equals != std::string::npos)
            result.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return result;
}

ChildResult RunChildScenario(const std::string& scenario, const ChildOptions& options) {
    return RunningChild(scenario, options).Wait();
}

}  // namespace tarvox::test
