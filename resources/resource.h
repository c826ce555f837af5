// Resource ids of Tavrenix: dialogs, menu, commands, controls and icons.
// Included by resources/Tavrenix.rc and by the C++ sources; plain #defines only, so windres reads it.
#ifndef TAVRENIX_RESOURCE_H
#define TAVRENIX_RESOURCE_H

// Dialogs and menu
#define IDD_MONITOR             101
#define IDD_ABOUT               141
#define IDD_LINE_SETTINGS       9700
#define IDR_MONITOR_MENU        106

// Icons
#define IDI_APP                 102
#define IDI_LAMP_OFF            103
#define IDI_LAMP_ON             104
#define IDI_LAMP_ACTIVE         105
#define IDI_DOTS                107
#define IDI_ABOUT_MARK          114

// Menu commands
#define ID_FILE_EXIT            40001
#define ID_HELP_ABOUT           40002
#define ID_COMM_EDIT            40004
#define ID_DISPLAY_CLEAR        40005
#define ID_FORMAT_NORMAL        40006
#define ID_FORMAT_HEX           40007
#define ID_LOG_SELECT_FILE      40008
#define ID_LOG_ON               40009
#define ID_LOG_OFF              40010
#define ID_COMM_ON              40011
#define ID_COMM_OFF             40012
#define ID_HELP_CONTENTS        40013
#define ID_FORMAT_MNEMONIC      40017
#define ID_FORMAT_ALL_HEX       40018

// Controls of the monitor window (dialog 101); id 2 is the hidden "Cancel" button
#define IDC_PANE                1000
#define IDC_PORT_TEXT           1001
#define IDC_PORT_EDIT           1002
#define IDC_LOG_CHECK           1003
#define IDC_LOG_SELECT          1005
#define IDC_COMM_CHECK          1007
#define IDC_INDICATOR           1009
#define IDC_LOG_PATH            1010
#define IDC_FRAME               1012
#define IDC_SEND_TEXT           1014
#define IDC_SEND                1015

// Controls of the line settings dialog (dialog 9700); ids 1 and 2 are OK and Cancel
#define IDC_LS_PORT             9701
#define IDC_LS_BAUD             9702
#define IDC_LS_PARITY           9704
#define IDC_LS_STOP_BITS        9705
#define IDC_LS_DATA_BITS        9706
#define IDC_LS_TIMEOUT          9707

// Labels and pictures that nothing addresses
#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif
