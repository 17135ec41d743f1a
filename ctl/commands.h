// The commands of orvctl. Each takes a run whose command line has been checked
// for the command's options and number of operands, and gives the exit status.
#pragma once

#include "ctl/run.h"

namespace orv {

int DiscoverCommand(Run& run);
int ReadConfigCommand(Run& run);
int WriteConfigCommand(Run& run);
int BackupCommand(Run& run);
int RestoreCommand(Run& run);
int DiffCommand(Run& run);
int SetAddressCommand(Run& run);
int FirmwareCommand(Run& run);
int BootCommand(Run& run);
int RunFirmwareCommand(Run& run);
int TestStringCommand(Run& run);
int ShowCommand(Run& run);
int DecodeCommand(Run& run);

}  // namespace orv
