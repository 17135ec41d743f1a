#include "ui/settings.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <wx/config.h>
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#ifdef __WXMSW__
#include <wx/msw/registry.h>
#endif

#include "services/file_path.h"
#include "services/settings_text.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

// Written into every settings store of this program: a file without it is
// not ours.
constexpr const char* FORMAT_KEY = "/Format";
constexpr long FORMAT = 1;
constexpr const char* INTERFACE_KEY = "/Interface/Port";
// Beyond any screen of today, and within what a window position can hold.
constexpr long PLACE_LIMIT = 100000;

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

// Settings held for this run only, for a file that could not be set aside.
std::unique_ptr<wxFileConfig> SettingsOfThisRun()
{
    wxMemoryInputStream nothing("", 0);
    return std::make_unique<wxFileConfig>(nothing);
}

// Why the settings file at path cannot be taken; empty when it can. The
// text is checked before the toolkit reads it, which would stop the program
// on some damage and wait for ever on a pipe.
std::string FileProblem(const std::string& path)
{
    const SettingsFile file = ReadSettingsFile(path);
    if (file.state != SettingsFileState::Read)
        return file.problem;
    const SettingsText text = ParseSettingsText(file.text);
    if (!text.problem.empty())
        return "is damaged (" + text.problem + ")";
    const auto format = text.values.find(FORMAT_KEY);
    if (!file.text.empty() &&
        (format == text.values.end() || SettingNumber(format->second, FORMAT, FORMAT) != FORMAT))
        return "holds no settings of this program";
    return "";
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
    const std::string file = FromWx(path);
    std::error_code ignored;
    std::filesystem::create_directories(PathOf(file).parent_path(), ignored);
    std::string problem = FileProblem(file);
    std::unique_ptr<wxFileConfig> config;
    if (problem.empty()) {
        int problems = 0;
        config = ReadFile(path, problems);
        if (problems > 0)
            problem = "is damaged";
    }
    if (!problem.empty()) {
        config.reset();
        const std::string aside = file + ".ignored";
        std::error_code error;
        std::filesystem::remove(PathOf(aside), error);
        std::filesystem::rename(PathOf(file), PathOf(aside), error);
        if (error) {
            opened.problem = " Settings: " + file + " " + problem + " and cannot be set aside (" + error.message() +
                             "); the settings of this run are not kept";
            config = SettingsOfThisRun();
        } else {
            opened.problem = " Settings: " + file + " " + problem + "; set aside as " + aside +
                             ", the settings start afresh";
            int problems = 0;
            config = ReadFile(path, problems);
        }
    }
    config->Write(FORMAT_KEY, FORMAT);
    opened.config = std::move(config);
    return opened;
}

#ifdef __WXMSW__

namespace {

// Where wxConfig keeps the settings of vendor "Orvanta", program "orvtool".
constexpr const char* REGISTRY_KEY = "Software\\Orvanta\\orvtool";

bool IsNumberType(wxRegKey::ValueType type)
{
    return type == wxRegKey::Type_Dword;
}

bool IsTextType(wxRegKey::ValueType type)
{
    return type == wxRegKey::Type_String || type == wxRegKey::Type_Expand_String;
}

// Sets aside, under key (the settings group group), every value of this
// program's whose type or content the toolkit would refuse with an error box
// when it is read; says what it set aside in problems.
void SetAsideWrongValues(wxRegKey& key, const std::string& group, std::vector<std::string>& problems)
{
    std::vector<wxString> names;
    wxString name;
    long index = 0;
    for (bool more = key.GetFirstValue(name, index); more; more = key.GetNextValue(name, index))
        names.push_back(name);
    for (const wxString& value : names) {
        const std::string setting = group + FromWx(value);
        const std::optional<SettingKind> kind = KindOfSetting(setting);
        if (!kind)
            continue;
        const wxRegKey::ValueType type = key.GetValueType(value);
        std::string problem;
        if (*kind == SettingKind::Text) {
            wxString text;
            if (!IsTextType(type))
                problem = "is not text";
            else if (!key.QueryValue(value, text))
                problem = "cannot be read";
            else
                problem = SettingValueProblem(setting, FromWx(text));
        } else if (!IsNumberType(type)) {
            problem = "is not a number";
        }
        if (problem.empty())
            continue;
        const wxString aside = value + ".ignored";
        key.DeleteValue(aside);
        key.RenameValue(value, aside);
        problems.push_back(setting + " " + problem + ", set aside as " + FromWx(aside));
    }
    std::vector<wxString> groups;
    for (bool more = key.GetFirstKey(name, index); more; more = key.GetNextKey(name, index))
        groups.push_back(name);
    for (const wxString& sub : groups) {
        wxRegKey subKey(key, sub);
        SetAsideWrongValues(subKey, group + FromWx(sub) + "/", problems);
    }
}

}  // namespace

OpenedSettings OpenProgramSettings()
{
    OpenedSettings opened;
    std::vector<std::string> problems;
    {
        // The registry calls report a missing key or value as errors of their own.
        wxLogNull quiet;
        wxRegKey key(wxRegKey::HKCU, REGISTRY_KEY);
        if (key.Exists())
            SetAsideWrongValues(key, "/", problems);
    }
    if (!problems.empty()) {
        opened.problem = " Settings: in the registry under HKEY_CURRENT_USER\\" + std::string(REGISTRY_KEY) + ", ";
        for (size_t i = 0; i < problems.size(); ++i)
            opened.problem += (i ? "; " : "") + problems[i];
    }
    opened.config = std::make_unique<wxConfig>("orvtool", "Orvanta");
    opened.config->Write(FORMAT_KEY, FORMAT);
    return opened;
}

#else

OpenedSettings OpenProgramSettings()
{
    return OpenSettingsFile(SettingsFilePath());
}

#endif

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
        width <= 0 || height <= 0 || width > PLACE_LIMIT || height > PLACE_LIMIT || x < -PLACE_LIMIT ||
        x > PLACE_LIMIT || y < -PLACE_LIMIT || y > PLACE_LIMIT)
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
