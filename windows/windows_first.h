// Included first in every C++ file of the Windows build: the Windows headers
// once, in the order Winsock needs, without the min and max macros, and
// without the MessageBox macro, which would rename the prompts' MessageBox
// method in some files and not in others.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#undef MessageBox
