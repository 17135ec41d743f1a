// orvctl run in the test's process: a command line in, its exit status,
// standard output and standard error out; the bus made by the test.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/orvctl.h"
#include "services/clock.h"
#include "services/file_path.h"

namespace orv::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliResult RunCli(const std::vector<std::string>& args, const BusFactory& factory, const std::string& input = {},
                        bool errIsTerminal = false, StopSource* stop = nullptr)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Terminal terminal{in, out, err, errIsTerminal, stop};
    CliResult result;
    result.status = RunOrvctl(args, terminal, factory);
    result.out = out.str();
    result.err = err.str();
    return result;
}

inline void PrintTo(const CliResult& r, std::ostream* os)
{
    *os << "status " << r.status << "\nstdout:\n" << r.out << "stderr:\n" << r.err;
}

// An interface the test keeps, with the clock that paces the link over it.
class BorrowedBus final : public BusAccess {
public:
    BorrowedBus(UsbInterface& usb, Clock& clock) : usb_(usb), clock_(clock) {}
    UsbInterface& Interface() override { return usb_; }
    Clock& Time() override { return clock_; }

private:
    UsbInterface& usb_;
    Clock& clock_;
};

// A folder of its own for each test, removed afterwards; the clock's count in
// its name keeps runs of the same test in other build folders out of it.
class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("orvctl_" + std::string(::testing::UnitTest::GetInstance()->current_test_suite()->name()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }

    // The path of name in the folder, as the programs take paths: UTF-8 text.
    std::string operator/(const std::string& name) const { return TextOf(path_ / PathOf(name)); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(PathOf(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(PathOf(path), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

}  // namespace orv::test
