// The program entry of orvctl.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "ctl/orvctl.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    orv::Terminal terminal{std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
    const int status = orv::RunOrvctl(args, terminal);
    std::cout.flush();
    return status;
}
