// Discover All Devices (Fast) on the simulated bus in virtual time: every
// device found in seconds, late acknowledgers included, under the progress
// dialog of the slow scan, whose Cancel stops it.
#include <gtest/gtest.h>

#include <wx/listctrl.h>

#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "ui/fast_discovery.h"

namespace orv::test {
namespace {

class FastDiscoveryTest : public MainDialogTest {
protected:
    // Relays at these addresses, acknowledging after turnaround.
    void AddRelays(const std::vector<int>& addresses, uint64_t turnaroundMillis)
    {
        for (int address : addresses)
            AddDevice(SimDeviceKind::Relay, uint8_t(address), {uint8_t(address), 0x5A, 0x00, 0x12})
                .SetTurnaroundMicros(turnaroundMillis * 1000);
    }
};

TEST_F(FastDiscoveryTest, FindsEveryDeviceInSecondsLateAcknowledgersIncluded)
{
    for (const uint64_t turnaround : {1, 15, 20}) {
        for (const auto& device : devices)
            bus.Detach(*device);
        devices.clear();
        AddRelays({3, 40, 201, 254}, turnaround);
        const uint64_t start = clock.NowMillis();
        SendMenuCommand(*frame, ID_DISCOVER_ALL_FAST);
        EXPECT_EQ(Column(1), (std::vector<std::string>{"3", "40", "201", "254"})) << turnaround << " ms";
        EXPECT_LT(clock.NowMillis() - start, 20000u) << "three minutes at the slow pace";
        ASSERT_FALSE(prompts.progress.empty());
        const RecordedProgress& progress = *prompts.progress.back();
        EXPECT_EQ(progress.options.title, "Looking for Orvanta Devices");
        EXPECT_TRUE(progress.options.canAbort);
        EXPECT_EQ(progress.values.back(), 254);
        EXPECT_EQ(prompts.Captions(), std::vector<std::string>{});
    }
}

TEST_F(FastDiscoveryTest, CancelStopsTheScanWithTheDevicesFoundSoFar)
{
    AddRelays({3, 40, 201}, 15);
    prompts.onProgressUpdate = [](const RecordedProgress& progress, int value) {
        return progress.options.maximum != 255 || value < 100 || value == 255;
    };
    SendMenuCommand(*frame, ID_DISCOVER_ALL_FAST);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"3", "40"}));
    // Past the cancel only the devices the broadcast found were asked, to time them.
    for (const HeardFrame& frame : Sent(MODULE_INFO_REQUEST))
        EXPECT_TRUE(frame.destination <= 100 || frame.destination == 201 || frame.destination == BROADCAST_ADDRESS)
            << int(frame.destination);
}

}  // namespace
}  // namespace orv::test
