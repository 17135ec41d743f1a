#include "port/name_resolver.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "port/socket_platform.h"
#include "services/log.h"

namespace orv {

namespace {

// Shared by the waiting caller and the resolving thread, which outlives the
// caller when the bound passes first.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    Resolution result;
};

Resolution SystemLookup(const std::string& host, uint16_t port)
{
    Resolution result;
#ifdef _WIN32
    if (!StartSockets()) {
        result.error = "the system's sockets did not start";
        return result;
    }
#endif
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (status != 0) {
#ifdef _WIN32
        result.error = SocketErrorText(status);
#else
        result.error = status == EAI_SYSTEM ? SocketErrorText(errno) : gai_strerror(status);
#endif
        return result;
    }
    for (addrinfo* a = found; a; a = a->ai_next) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(a->ai_addr);
        result.addresses.push_back({a->ai_family, std::vector<uint8_t>(bytes, bytes + a->ai_addrlen)});
    }
    freeaddrinfo(found);
    return result;
}

}  // namespace

Resolution ResolveName(const std::string& host, uint16_t port, uint32_t millis)
{
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] {
        Resolution result = SystemLookup(host, port);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->result = std::move(result);
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, std::chrono::milliseconds(millis), [&] { return lookup->finished; }))
        return {{}, StrF("no answer within %.1f s", millis / 1000.0)};
    return lookup->result;
}

SocketAddress LoopbackAddress(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&address);
    return {AF_INET, std::vector<uint8_t>(bytes, bytes + sizeof address)};
}

}  // namespace orv
