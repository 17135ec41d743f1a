// What the program keeps between runs: the interface chosen, the places of its
// windows and the last folder of each kind of file dialog. They live in the
// program's wxConfigBase (wxConfigBase::Set): a file on Linux, the registry on
// Windows. While none is set (the tests, unless they set one) nothing is kept.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <wx/gdicmn.h>
#include <wx/string.h>

#include "services/prompts.h"

class wxConfigBase;
class wxTopLevelWindow;

namespace orv {

struct OpenedSettings {
    std::unique_ptr<wxConfigBase> config;
    // Why the stored settings were not taken; empty when they were.
    std::string problem;
};

// The settings file: orvtool/orvtool.conf in $XDG_CONFIG_HOME (~/.config).
wxString SettingsFilePath();
// The settings kept in path. Anything but a regular file of a settings size
// whose every line this program could have written (a folder, a pipe or a
// device in its place, a damaged or foreign file) is set aside as
// path.ignored (for a look, never lost) before the toolkit reads it, and the
// settings start afresh; problem says so in one line, for the log.
OpenedSettings OpenSettingsFile(const wxString& path);
// The program's own: the registry on Windows, SettingsFilePath() elsewhere.
// A registry value of a type or content the toolkit would refuse with an error
// box is renamed NAME.ignored first, and problem says so.
OpenedSettings OpenProgramSettings();

// The interface chosen last; nothing when none was.
std::optional<std::string> SavedInterface();
void SaveInterface(const std::string& port);

// The windows whose places are kept.
inline constexpr const char* FRAME_PLACE = "Frame";
inline constexpr const char* LOG_WINDOW_PLACE = "LogWindow";

struct WindowPlace {
    wxRect rect;
    bool maximised = false;
    bool shown = true;
};

std::optional<WindowPlace> SavedPlace(const char* window);
void SavePlace(const char* window, const wxTopLevelWindow& topLevel);
// Whether rect lies on one of the screens attached now.
bool FitsScreens(const wxRect& rect);
// Puts the window where it was, maximised if it was, when that place fits the
// screens of today; false (and nothing changed) otherwise.
bool RestorePlace(const char* window, wxTopLevelWindow& topLevel);

// The folder the last dialog of this kind was confirmed in (firmware files,
// Input8 and RS232 configurations); empty when there was none.
wxString LastFolder(const FileDialogOptions& options);
void SaveLastFolder(const FileDialogOptions& options, const wxString& folder);

}  // namespace orv
