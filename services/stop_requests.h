// The user's requests to stop the running operation, as orvctl takes them
// from Ctrl+C. An operation that would leave a device half-written goes on
// after the first request and stops at the second, after the block it is
// sending; everything else stops at the first. The core only asks how many
// requests came; how they arrive is the front end's.
#pragma once

#include <string>

namespace orv {

class StopRequests {
public:
    virtual ~StopRequests() = default;
    // How many times the user has asked to stop so far.
    virtual int Count() = 0;
    // What the running operation does about a request ("finishing the write
    // of block 7 of 15"), told once, at the point where it decides.
    virtual void Answer(const std::string& text) = 0;
};

// No one can ask: the windowed program, whose dialogs have their own Cancel.
class NoStopRequests final : public StopRequests {
public:
    int Count() override { return 0; }
    void Answer(const std::string&) override {}
};

// Shared by every Services that is given no StopRequests of its own.
inline StopRequests& NoStopRequestsAtAll()
{
    static NoStopRequests none;
    return none;
}

}  // namespace orv
