#include "ctl/ctrl_c.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

namespace orv {

namespace {

// Lock-free, so both a signal handler and the console's handler thread may add to it.
std::atomic<int> requests{0};
static_assert(std::atomic<int>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI CountConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    requests.fetch_add(1);
    return TRUE;
}
#else
void CountInterrupt(int)
{
    requests.fetch_add(1);
}
#endif

}  // namespace

void CtrlC::Arm()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(CountConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    // Reads and writes in progress go on; every wait of the link is bounded.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
#endif
}

int CtrlC::Count()
{
    return requests.load();
}

}  // namespace orv
