#include "ui/settings.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "ui/wx_text.h"

namespace orv {

namespace {

// Written into every settings store of this program: a file without it is
// not ours.
constexpr const char* FORMAT_KEY = "/Format";
constexpr long FORMAT = 1;
constexpr const char* INTERFACE_KEY = "/Interface/Port";

// The problems wx reports while it reads a settings file.
class ProblemCount final : public wxLog {
public:
    int problems = 0;

protected:
    void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Warning)
            ++problems;
    }
};

wxConfigBase* Config()
{
    return wxConfigBase::Get(false);
}

wxString PlaceKey(const char* window, const char* entry)
{
    return wxString::Format("/Windows/%s/%s", window, entry);
}

// Each file dialog of the program says in its message what it is for.
wxString FolderKind(const FileDialogOptions& options)
{
    for (const char* kind : {"Firmware", "Input8", "RS232"})
        if (options.message.find(kind) != std::string::npos)
            return kind;
    // The RS232 save dialog's own spelling.
    if (options.message.find("RS323") != std::string::npos)
        return "RS232";
    return "Other";
}

std::unique_ptr<wxFileConfig> ReadFile(const wxString& path, int& problems)
{
    ProblemCount count;
    wxLog* previous = wxLog::SetActiveTarget(&count);
    auto config = std::make_unique<wxFileConfig>("orvtool", wxEmptyString, path, wxEmptyString,
                                                 wxCONFIG_USE_LOCAL_FILE);
    wxLog::SetActiveTarget(previous);
    problems = count.problems;
    return config;
}

}  // namespace

wxString SettingsFilePath()
{
    wxString base;
    if (!wxGetEnv("XDG_CONFIG_HOME", &base) || base.empty())
        base = wxGetHomeDir() + "/.config";
    return base + "/orvtool/orvtool.conf";
}

OpenedSettings OpenSettingsFile(const wxString& path)
{
    OpenedSettings opened;
    wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const bool existed = wxFileName::FileExists(path) && wxFileName::GetSize(path) > 0;
    int problems = 0;
    std::unique_ptr<wxFileConfig> config = ReadFile(path, problems);
    const bool ours = !existed || config->ReadLong(FORMAT_KEY, 0) == FORMAT;
    if (problems > 0 || !ours) {
        config.reset();
        const wxString aside = path + ".ignored";
        wxRenameFile(path, aside, true);
        opened.problem = FromWx(wxString::Format(" Settings: %s %s; set aside as %s, the settings start afresh", path,
                                                 problems > 0 ? "is damaged" : "holds no settings of this program",
                                                 aside));
        config = ReadFile(path, problems);
    }
    config->Write(FORMAT_KEY, FORMAT);
    opened.config = std::move(config);
    return opened;
}

OpenedSettings OpenProgramSettings()
{
#ifdef __WXMSW__
    OpenedSettings opened;
    opened.config = std::make_unique<wxConfig>("orvtool", "Orvanta");
    opened.config->Write(FORMAT_KEY, FORMAT);
    return opened;
#else
    return OpenSettingsFile(SettingsFilePath());
#endif
}

std::optional<std::string> SavedInterface()
{
    wxString port;
    if (!Config() || !Config()->Read(INTERFACE_KEY, &port))
        return std::nullopt;
    return FromWx(port);
}

void SaveInterface(const std::string& port)
{
    if (!Config())
        return;
    Config()->Write(INTERFACE_KEY, ToWx(port));
    Config()->Flush();
}

std::optional<WindowPlace> SavedPlace(const char* window)
{
    wxConfigBase* config = Config();
    long x = 0, y = 0, width = 0, height = 0;
    if (!config || !config->Read(PlaceKey(window, "X"), &x) || !config->Read(PlaceKey(window, "Y"), &y) ||
        !config->Read(PlaceKey(window, "Width"), &width) || !config->Read(PlaceKey(window, "Height"), &height) ||
        width <= 0 || height <= 0)
        return std::nullopt;
    WindowPlace place;
    place.rect = wxRect(int(x), int(y), int(width), int(height));
    config->Read(PlaceKey(window, "Maximised"), &place.maximised, false);
    config->Read(PlaceKey(window, "Shown"), &place.shown, true);
    return place;
}

void SavePlace(const char* window, const wxTopLevelWindow& topLevel)
{
    wxConfigBase* config = Config();
    if (!config)
        return;
    // A hidden window's size is what the toolkit guesses: the place it was
    // last seen at stays.
    if (!topLevel.IsShown() && SavedPlace(window)) {
        config->Write(PlaceKey(window, "Shown"), false);
        config->Flush();
        return;
    }
    const wxRect rect(topLevel.GetPosition(), topLevel.GetSize());
    config->Write(PlaceKey(window, "X"), long(rect.x));
    config->Write(PlaceKey(window, "Y"), long(rect.y));
    config->Write(PlaceKey(window, "Width"), long(rect.width));
    config->Write(PlaceKey(window, "Height"), long(rect.height));
    config->Write(PlaceKey(window, "Maximised"), topLevel.IsMaximized());
    config->Write(PlaceKey(window, "Shown"), topLevel.IsShown());
    config->Flush();
}

bool FitsScreens(const wxRect& rect)
{
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i)
        if (wxDisplay(i).GetGeometry().Contains(rect))
            return true;
    return false;
}

bool RestorePlace(const char* window, wxTopLevelWindow& topLevel)
{
    const std::optional<WindowPlace> place = SavedPlace(window);
    if (!place || !FitsScreens(place->rect))
        return false;
    topLevel.SetSize(place->rect);
    if (place->maximised)
        topLevel.Maximize();
    return true;
}

wxString LastFolder(const FileDialogOptions& options)
{
    wxString folder;
    if (Config())
        Config()->Read("/Folders/" + FolderKind(options), &folder);
    return wxDirExists(folder) ? folder : wxString();
}

void SaveLastFolder(const FileDialogOptions& options, const wxString& folder)
{
    if (!Config() || folder.empty())
        return;
    Config()->Write("/Folders/" + FolderKind(options), folder);
    Config()->Flush();
}

}  // namespace orv
