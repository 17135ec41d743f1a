// The command line as orvctl's commands take it: UTF-8 text, whatever the
// system hands the program.
#pragma once

#include <string>
#include <vector>

namespace orv {

// The arguments after the program's name. On Windows they are read as the
// system keeps them, in UTF-16, since argv holds them in the ANSI code page,
// which changes or loses every letter it lacks ("Łódź" becomes "Lódz").
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Lets the console show UTF-8 text as written (on Windows its code page is
// set to UTF-8); output to a pipe or a file is unchanged.
void UseUtf8Console();

}  // namespace orv
