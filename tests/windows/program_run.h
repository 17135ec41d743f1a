// One of the built programs run as a Windows user runs it: the command line
// handed over in UTF-16, standard output and error read from one pipe.
#pragma once

#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "services/file_path.h"

namespace orv::test {

struct ProgramRun {
    DWORD status = DWORD(-1);
    std::string output;  // standard output and error, lines ending in \n as the program wrote them
};

// How a failed expectation shows a run.
inline void PrintTo(const ProgramRun& run, std::ostream* os)
{
    *os << "status " << run.status << "\n" << run.output;
}

// The build names programs by their Linux paths; Wine shows the root as Z:.
inline std::wstring WindowsPathOf(const std::string& buildPath)
{
    std::wstring path = WideOf(buildPath);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return buildPath.rfind('/', 0) == 0 ? L"Z:" + path : path;
}

// Each argument quoted as the C runtime's parser takes it back (none here
// holds a quote or ends in a backslash).
inline ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args)
{
    const std::wstring exe = WindowsPathOf(program);
    std::wstring line = L"\"" + exe + L"\"";
    for (const std::string& arg : args)
        line += L" \"" + WideOf(arg) + L"\"";

    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count > 0)
            run.output.append(buffer, count);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // The C runtime's text mode ends the lines with \r\n.
    run.output.erase(std::remove(run.output.begin(), run.output.end(), '\r'), run.output.end());
    CloseHandle(readEnd);
    return run;
}

}  // namespace orv::test
