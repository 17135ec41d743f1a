// The programs speak of Windows on Windows: COM ports and the Device Manager
// in their help and in doctor's fixes, the program by its own name in errors,
// and doctor calls a COM port ok only when the system knows it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/windows/program_run.h"

namespace orv::test {
namespace {

// Words of the Linux texts that mean nothing on Windows.
void ExpectNoLinuxWords(const std::string& text)
{
    for (const char* word : {"/dev/", "tty", "socat", "lsusb", "dialout", "udev", "sudo"})
        EXPECT_EQ(text.find(word), std::string::npos) << word << " in\n" << text;
}

TEST(ProgramTexts, HelpNamesComPorts)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
        {ORVCTL_PROGRAM, {"--help"}}, {ORVCTL_PROGRAM, {"doctor", "--help"}}};
#ifdef ORVTOOL_PROGRAM
    runs.push_back({ORVTOOL_PROGRAM, {"--help"}});
#endif
    for (const auto& [program, args] : runs) {
        const ProgramRun help = RunProgram(program, args);
        SCOPED_TRACE(program + " " + args[0]);
        EXPECT_EQ(help.status, 0u) << ::testing::PrintToString(help);
        ExpectNoLinuxWords(help.output);
    }
    EXPECT_NE(RunProgram(ORVCTL_PROGRAM, {"--help"}).output.find("--port COM7"), std::string::npos);
#ifdef ORVTOOL_PROGRAM
    EXPECT_NE(RunProgram(ORVTOOL_PROGRAM, {"--help"}).output.find("--port COM7"), std::string::npos);
#endif
}

#ifdef ORVTOOL_PROGRAM
TEST(ProgramTexts, ErrorsNameTheProgramWithoutItsFolder)
{
    const ProgramRun unknown = RunProgram(ORVTOOL_PROGRAM, {"--colour"});
    EXPECT_EQ(unknown.status, 2u);
    EXPECT_EQ(unknown.output, "orvtool: unknown option --colour (orvtool --help lists the options)\n");
    const ProgramRun wrong = RunProgram(ORVTOOL_PROGRAM, {"--port", "ftp://x"});
    EXPECT_EQ(wrong.status, 2u);
    EXPECT_EQ(wrong.output.rfind("orvtool: --port: ", 0), 0u) << wrong.output;
}
#endif

TEST(ProgramTexts, DoctorFailsAComPortThatDoesNotExist)
{
    const ProgramRun missing = RunProgram(ORVCTL_PROGRAM, {"--port", "COM99", "doctor"});
    EXPECT_EQ(missing.status, 1u) << ::testing::PrintToString(missing);
    EXPECT_EQ(missing.output.rfind("FAIL  interface  COM99 does not exist. Fix: ", 0), 0u) << missing.output;
    EXPECT_NE(missing.output.find("Device Manager"), std::string::npos) << missing.output;
    ExpectNoLinuxWords(missing.output);

    // The pair of ports the test runs with: COM8 is there.
    const char* present = std::getenv("ORV_TEST_COM_PORT");
    ASSERT_TRUE(present);
    const ProgramRun there = RunProgram(ORVCTL_PROGRAM, {"--port", present, "doctor"});
    EXPECT_EQ(there.output.rfind("ok    interface  " + std::string(present), 0), 0u) << there.output;
}

TEST(ProgramTexts, DoctorWithoutAnInterfacePointsToTheDeviceManager)
{
    const ProgramRun none = RunProgram(ORVCTL_PROGRAM, {"doctor"});
    EXPECT_EQ(none.status, 1u) << ::testing::PrintToString(none);
    EXPECT_NE(none.output.find("Device Manager"), std::string::npos) << none.output;
    ExpectNoLinuxWords(none.output);
}

}  // namespace
}  // namespace orv::test
