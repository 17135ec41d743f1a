// The program entry of orvctl.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "ctl/ctrl_c.h"
#include "ctl/orvctl.h"
#include "ctl/program_arguments.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    orv::UseUtf8Console();
    const std::vector<std::string> args = orv::ProgramArguments(argc, argv);
    orv::CtrlC ctrlC;
    orv::Terminal terminal{std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &ctrlC};
    const int status = orv::RunOrvctl(args, terminal);
    std::cout.flush();
    return status;
}
