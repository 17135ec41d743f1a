#include "ui/main_dialog.h"

namespace orv {

MainDialog::MainDialog(wxWindow* parent, Services& services, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style)
    : services_(services)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    Create(parent, id, pos, size, style, "panel");
}

void MainDialog::DiscoverDevices(int) {}
void MainDialog::UpdateFirmware(bool) {}
void MainDialog::EnterBootMode() {}
void MainDialog::EnterConfigMode() {}
void MainDialog::OnSetAddress() {}
void MainDialog::RelayoutPanels() {}
void MainDialog::ShowInstructions() {}
void MainDialog::ResetDeviceList() {}
void MainDialog::RefreshDeviceList() {}

}  // namespace orv
