// Window and menu identifiers of the main frame and the main dialog.
#pragma once

namespace orv {

constexpr int ID_MAIN_DIALOG = 10000;
constexpr int ID_MAIN_FRAME = 10005;
constexpr int ID_STATUS_BAR = 10006;

// Menu commands of the main frame.
constexpr int ID_DISCOVER_ALL = 10007;
constexpr int ID_UPDATE_FIRMWARE_SELECTED = 10013;
constexpr int ID_DEVICE_BOOT_MODE = 10014;
constexpr int ID_DEVICE_CONFIG_MODE = 10015;
constexpr int ID_SET_ADDRESS = 10016;
constexpr int ID_EMERGENCY_FIRMWARE_UPDATE = 10018;
constexpr int ID_BROADCAST_DISCOVERY = 10019;
constexpr int ID_QUICK_DISCOVERY = 10020;
constexpr int ID_LOG_WINDOW = 10021;
constexpr int ID_BACKUP_BUS = 10030;
constexpr int ID_COMPARE_WITH_BACKUP = 10031;
constexpr int ID_RESTORE_BUS = 10032;

}  // namespace orv
