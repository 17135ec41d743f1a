// A --port value: any text. An address that is taken names a port (a path,
// or a host with a port number); one that is refused says why.
#include "fuzz/fuzz_support.h"
#include "port/port_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const orv::PortAddress address = orv::ParsePortAddress(text);
    if (!address.error.empty())
        return 0;
    if (address.kind == orv::PortKind::Tty) {
        FUZZ_CHECK(!address.path.empty());
    } else {
        FUZZ_CHECK(!address.host.empty() && address.port != 0);
        FUZZ_CHECK(text.find(address.host) != std::string::npos);
    }
    return 0;
}
