#include "ctl/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "services/file_path.h"
#endif

namespace orv {

#ifdef _WIN32
std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(Utf8Of(wide[i]));
    LocalFree(wide);
    return args;
}

void UseUtf8Console()
{
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}
#else
std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

void UseUtf8Console() {}
#endif

}  // namespace orv
