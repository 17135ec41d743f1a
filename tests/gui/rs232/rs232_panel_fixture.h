// The RS232 panel inside the real main frame, on a simulated bus in virtual
// time with a simulated ORV-RS232 at address 5 in the registry and selected,
// and scripted prompts. Handlers are driven with the events their controls send.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/choice.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "config/rs232_build.h"
#include "model/image_crc.h"
#include "tests/gui/frame_fixture.h"
#include "tests/gui/on_screen.h"
#include "ui/main_dialog.h"
#include "ui/rs232_type_dialog.h"

namespace orv::test {

inline RS232Row Row(const std::string& text, StringType type = StringType::ASCII, uint8_t destination = DEST_UNUSED,
                    uint16_t action = ACTION_UNUSED)
{
    RS232Row row;
    row.text = text;
    row.type = type;
    row.destination = destination;
    row.action = action;
    return row;
}

class RS232PanelTest : public FrameFixture {
protected:
    static constexpr uint8_t RS232_ADDRESS = 5;

    static void SetUpTestSuite()
    {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
    }

    void SetUp() override
    {
        OpenFrame();
        mainDialog = frame->mainDialog;
        ASSERT_NE(mainDialog, nullptr);
        panel = mainDialog->RS232Panel();
        ASSERT_NE(panel, nullptr);
        bus.Attach(rs232);
        rs232.Info().firmwareMinor = 0x14;
        panel->SetDeviceAddress(RS232_ADDRESS);
        AddRecord("ORV-RS232", TYPE_RS232, RS232_ADDRESS, true);
        Registry().Select(0);
        // The device's empty memory: an intact empty configuration, as the main dialog reads it on selection.
        ASSERT_TRUE(panel->ReadFromDevice());
        bus.ClearHeard();
    }

    DeviceRegistry& Registry() { return mainDialog->Registry(); }

    void AddRecord(const std::string& name, DeviceTypeCode kind, uint8_t address, bool configured)
    {
        DeviceRecord record;
        record.name = name;
        record.typeCode = kind;
        record.address = address;
        record.configured = configured;
        record.firmwareMajor = 1;
        record.firmwareMinor = 0x14;
        record.serialNumber = {address, 0x20, 0x00, 0x21};
        ASSERT_TRUE(Registry().Append(record));
    }

    // The device memory holding config as a save would leave it.
    std::vector<uint8_t> DeviceImage(const RS232Config& config)
    {
        const auto built = BuildRS232Image(config, std::nullopt, false, services);
        EXPECT_TRUE(built.has_value());
        std::vector<uint8_t> image(built->buffer.begin(), built->buffer.begin() + long(built->length));
        StoreImageCrc(image.data(), image.size());
        return image;
    }

    // The device holds config; the user selects it in the list and the panel
    // shows it in the frame on screen.
    void OpenOnScreen(const RS232Config& config) { SelectWithMemory(DeviceImage(config)); }

    // The device memory holds image; the user selects the device and the panel
    // is shown in the frame on screen.
    void SelectWithMemory(const std::vector<uint8_t>& image)
    {
        rs232.LoadMemory(image);
        mainDialog->RefreshDeviceList();
        wxListEvent event(wxEVT_LIST_ITEM_SELECTED, ID_DEVICE_LIST);
        event.SetEventObject(mainDialog->DeviceList());
        event.SetIndex(0);
        mainDialog->DeviceList()->ProcessWindowEvent(event);
        ASSERT_TRUE(panel->IsShown());
        ASSERT_TRUE(ShowOnScreen(frame));
    }

    template <typename T>
    T* Control(int base, size_t row = 0)
    {
        return dynamic_cast<T*>(panel->FindWindow(base + int(row)));
    }
    wxChoice* Choice(int base, size_t row) { return Control<wxChoice>(base, row); }
    wxTextCtrl* Text(int base, size_t row) { return Control<wxTextCtrl>(base, row); }

    size_t RowCount()
    {
        size_t count = 0;
        while (Choice(ID_RS232_ROW_TYPE, count))
            ++count;
        return count;
    }
    // The "%d:" label that opens the row's line.
    std::string RowNumber(size_t row)
    {
        wxSizer* line = Choice(ID_RS232_ROW_TYPE, row)->GetContainingSizer();
        return static_cast<wxStaticText*>(line->GetItem(size_t(0))->GetWindow())->GetLabel().ToStdString();
    }
    std::string RowText(size_t row) { return Text(ID_RS232_ROW_STRING, row)->GetValue().ToStdString(); }
    // The row's visible parameter fields, in parameter order.
    std::vector<wxTextCtrl*> Parameters(size_t row)
    {
        std::vector<wxTextCtrl*> fields;
        for (wxWindow* child : Choice(ID_RS232_ROW_TYPE, row)->GetParent()->GetChildren())
            if (auto* field = dynamic_cast<wxTextCtrl*>(child);
                field && field->GetId() >= ID_RS232_ROW_PARAMS && field->IsShown())
                fields.push_back(field);
        return fields;
    }
    // The status label's text; a hint that takes two lines is read as one.
    std::string StatusLabel()
    {
        wxString label = wxWindow::FindWindowByName("statusLabel", panel)->GetLabel();
        label.Replace("\n", " ");
        return label.ToStdString();
    }

    static std::vector<std::string> Entries(wxChoice* choice)
    {
        std::vector<std::string> entries;
        for (unsigned i = 0; i < choice->GetCount(); ++i)
            entries.push_back(choice->GetString(i).ToStdString());
        return entries;
    }

    void Click(int id)
    {
        wxWindow* button = panel->FindWindow(id);
        ASSERT_NE(button, nullptr) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    }
    // Selects the entry as the user would: the choice sends the entry's index, text and client data.
    void Choose(int base, size_t row, const std::string& entry)
    {
        wxChoice* choice = Choice(base, row);
        ASSERT_NE(choice, nullptr) << base + int(row);
        const int index = choice->FindString(entry, true);
        ASSERT_NE(index, wxNOT_FOUND) << entry;
        choice->SetSelection(index);
        wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
        event.SetEventObject(choice);
        event.SetInt(index);
        event.SetString(choice->GetString(unsigned(index)));
        event.SetClientData(choice->GetClientData(unsigned(index)));
        choice->ProcessWindowEvent(event);
    }
    void NewRows(size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            Click(ID_RS232_NEW_ROW);
    }
    void TypeText(size_t row, const std::string& text) { Text(ID_RS232_ROW_STRING, row)->ChangeValue(text); }

    SimDevice rs232{SimDeviceKind::RS232, RS232_ADDRESS, {0x52, 0x20, 0x00, 0x21}};
    MainDialog* mainDialog = nullptr;
    RS232_Type_Dialog* panel = nullptr;
};

}  // namespace orv::test
