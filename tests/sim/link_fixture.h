// A bus link opened on a simulated bus in virtual time, and the exchanges a
// caller of the link runs: send, wait for the acknowledgement, read the reply.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "link/commands.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

// What one request brought back through the link.
struct Exchange {
    bool acked = false;
    std::optional<BusReply> reply;
};

// Discovery's way of reading the answers to a broadcast: after the
// acknowledgement and 300 ms, read verbosely while bytes keep coming.
inline std::vector<BusReply> CollectReplies(Clock& clock)
{
    std::vector<BusReply> replies;
    clock.Sleep(300);
    uint8_t counter = 0;
    do {
        BusReply reply;
        if (ReceiveReply(reply, 1, &counter))
            replies.push_back(reply);
    } while (counter != 0);
    return replies;
}

class LinkFixture : public ::testing::Test, public SimBusRig {
protected:
    void SetUp() override { ASSERT_TRUE(OpenLink()); }

    static bool Send(uint16_t command, uint8_t destination, const std::vector<uint8_t>& payload = {})
    {
        BusRequest request;
        request.command = command;
        request.destination = destination;
        request.payload = payload.data();
        request.length = uint8_t(payload.size());
        return SendRequest(request);
    }

    // Send, WaitForAck, and for a query a quiet ReceiveReply.
    static Exchange Ask(uint16_t command, uint8_t destination, const std::vector<uint8_t>& payload = {})
    {
        Exchange exchange;
        Send(command, destination, payload);
        exchange.acked = WaitForAck();
        if (!exchange.acked || (command != MODULE_INFO_REQUEST && command != CONFIG_BLOCK_READ))
            return exchange;
        BusReply reply;
        if (ReceiveReply(reply, 0))
            exchange.reply = reply;
        return exchange;
    }

    static Exchange AskModuleInfo(uint8_t destination) { return Ask(MODULE_INFO_REQUEST, destination, {0x00}); }

    static Exchange ReadBlock(uint8_t destination, uint16_t block)
    {
        const auto payload = BlockNumberPayload(block);
        return Ask(CONFIG_BLOCK_READ, destination, {payload.begin(), payload.end()});
    }

    static Exchange WriteBlock(uint8_t destination, const ConfigBlock& block)
    {
        const auto payload = EncodeConfigBlock(block);
        return Ask(CONFIG_BLOCK_WRITE, destination, {payload.begin(), payload.end()});
    }

    std::vector<BusReply> CollectReplies() { return test::CollectReplies(clock); }
};

}  // namespace orv::test
