// File and folder names between the core's text and the file system. The core
// keeps names as UTF-8 text; Windows names files in UTF-16, and a narrow
// std::string given to std::filesystem or to the C runtime there is taken in
// the ANSI code page, which changes or refuses every letter it lacks. Every
// file the core opens is therefore named through PathOf, and every path it
// shows through TextOf.
#pragma once

#include <filesystem>
#include <string>

namespace orv {

// The file system's path for UTF-8 text; on Linux the bytes as they are.
std::filesystem::path PathOf(const std::string& text);

// A path as UTF-8 text, every letter kept; on Linux its bytes as they are.
std::string TextOf(const std::filesystem::path& path);

// path's last part, the name a program was started as without its folder
// (either slash) and, on Windows, without ".exe": "orvtool" for
// "Z:\\tools\\orvtool.exe" or "/usr/bin/orvtool".
std::string ProgramNameOf(const std::string& path);

#ifdef _WIN32
std::wstring WideOf(const std::string& text);
std::string Utf8Of(const std::wstring& text);
#endif

}  // namespace orv
