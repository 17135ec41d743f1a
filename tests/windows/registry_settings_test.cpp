// The settings in the registry as another program or an older version may
// have left them: a value of a type the toolkit refuses with an error box is
// set aside with one log line, and the program goes on without it.
#include <gtest/gtest.h>

#include <wx/config.h>
#include <wx/log.h>
#include <wx/msw/registry.h>

#include "ui/settings.h"

namespace orv {
namespace {

constexpr const char* KEY = "Software\\Orvanta\\orvtool";

void DeleteSettings()
{
    // A key that is not there is no error here.
    wxLogNull quiet;
    wxRegKey(wxRegKey::HKCU, KEY).DeleteSelf();
}

// The errors the toolkit would show in a box.
class ErrorCount final : public wxLog {
public:
    int errors = 0;

protected:
    void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Warning)
            ++errors;
    }
};

TEST(RegistrySettingsTest, AValueOfTheWrongTypeIsSetAsideWithOneLine)
{
    DeleteSettings();
    wxRegKey interfaceKey(wxRegKey::HKCU, wxString(KEY) + "\\Interface");
    ASSERT_TRUE(interfaceKey.Create());
    ASSERT_TRUE(interfaceKey.SetValue("Port", 7L));
    wxRegKey frameKey(wxRegKey::HKCU, wxString(KEY) + "\\Windows\\Frame");
    ASSERT_TRUE(frameKey.Create());
    ASSERT_TRUE(frameKey.SetValue("X", "left"));
    ASSERT_TRUE(frameKey.SetValue("Y", 20L));
    wxRegKey foldersKey(wxRegKey::HKCU, wxString(KEY) + "\\Folders");
    ASSERT_TRUE(foldersKey.Create());
    ASSERT_TRUE(foldersKey.SetValue("Firmware", "C:\\Firmware"));

    ErrorCount count;
    wxLog* previous = wxLog::SetActiveTarget(&count);
    OpenedSettings opened = OpenProgramSettings();
    delete wxConfigBase::Set(opened.config.release());
    EXPECT_FALSE(SavedInterface());
    EXPECT_FALSE(SavedPlace(FRAME_PLACE));
    wxLog::SetActiveTarget(previous);
    EXPECT_EQ(count.errors, 0);

    EXPECT_EQ(opened.problem,
              " Settings: in the registry under HKEY_CURRENT_USER\\Software\\Orvanta\\orvtool, /Interface/Port is "
              "not text, set aside as Port.ignored; /Windows/Frame/X is not a number, set aside as X.ignored");
    EXPECT_TRUE(interfaceKey.HasValue("Port.ignored"));
    EXPECT_FALSE(interfaceKey.HasValue("Port"));
    EXPECT_TRUE(frameKey.HasValue("Y"));
    EXPECT_TRUE(foldersKey.HasValue("Firmware"));

    // The next run finds nothing to set aside, and what it saves is kept.
    SaveInterface("COM7");
    opened = OpenProgramSettings();
    EXPECT_EQ(opened.problem, "");
    delete wxConfigBase::Set(opened.config.release());
    EXPECT_EQ(SavedInterface(), "COM7");
    delete wxConfigBase::Set(nullptr);
    DeleteSettings();
}

}  // namespace
}  // namespace orv
