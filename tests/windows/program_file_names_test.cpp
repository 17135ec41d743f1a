// orvctl.exe started with names in letters outside ASCII, as a Windows user
// types them: each file lands under the name given, and the output shows it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/orvctl/orvctl_rig.h"
#include "tests/windows/program_run.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const char* const NAMES[] = {"Grüße", "Łódź", "Кухня"};

ProgramRun Orvctl(std::vector<std::string> args)
{
    args.insert(args.begin(), "--sim");
    return RunProgram(ORVCTL_PROGRAM, args);
}

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(TextOf(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ProgramFileNames, EveryFileCommandKeepsTheNameGiven)
{
    TempFolder temp;
    for (const std::string name : NAMES) {
        SCOPED_TRACE(name);
        const fs::path folder = temp.Path() / PathOf(name);
        fs::create_directories(folder);
        const std::string file = TextOf(folder / PathOf(name + ".bin"));

        const ProgramRun read = Orvctl({"read-config", "3", "-o", file});
        EXPECT_EQ(read.status, 0u) << ::testing::PrintToString(read);
        EXPECT_EQ(Listing(folder), std::vector<std::string>{name + ".bin"});
        EXPECT_NE(read.output.find("written to " + file), std::string::npos) << read.output;
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"show", file}, {"write-config", "3", file}, {"diff", file, "3"}}) {
            const ProgramRun run = Orvctl(command);
            EXPECT_EQ(run.status, 0u) << command[0] << ": " << ::testing::PrintToString(run);
        }

        const std::string backup = TextOf(temp.Path() / PathOf("bk " + name));
        const ProgramRun saved = Orvctl({"backup", backup});
        EXPECT_EQ(saved.status, 0u) << ::testing::PrintToString(saved);
        EXPECT_NE(saved.output.find("backed up in " + backup), std::string::npos) << saved.output;
        EXPECT_EQ(Listing(PathOf(backup)).size(), 3u);
        const ProgramRun restored = Orvctl({"restore", backup, "--force"});
        EXPECT_EQ(restored.status, 0u) << ::testing::PrintToString(restored);
        EXPECT_NE(restored.output.find("2 of 2 configuration(s) restored"), std::string::npos) << restored.output;

        const fs::path firmware = folder / PathOf(name + ".hex");
        std::ofstream(firmware, std::ios::binary) << std::string(40, 'Z');
        const ProgramRun update = Orvctl({"firmware", "9", TextOf(firmware)});
        EXPECT_EQ(update.status, 0u) << ::testing::PrintToString(update);
        EXPECT_NE(update.output.find("firmware from " + TextOf(firmware)), std::string::npos) << update.output;
    }
}

}  // namespace
}  // namespace orv::test
