// Resource ids of the range tests' own dialogs (from 23000 up, clear of the others).
#pragma once

#define IDD_RANGE 23001
#define IDD_TABS 23002
#define IDD_TOOLS 23003
#define IDD_MANY 23004
#define IDD_PAGE1 23010
#define IDD_PAGE2 23011
#define IDD_FRAMEPAGE 23012
#define IDD_TINY 23013

#define IDB_STRIP 23020

// IDD_RANGE
#define IDC_TRACK 23101
#define IDC_TRACK_LIVE 23102
#define IDC_UPDOWN 23103
#define IDC_PROGRESS 23104
#define IDC_PROGRESS_SIGNED 23105
#define IDC_DATE 23106
#define IDC_UPDOWN_WIDE 23107
#define IDC_TRACK_WIDE 23108

// IDD_TABS and its pages
#define IDC_TAB 23201
#define IDC_FRAME 23202
#define IDC_BARE_TAB 23203
#define IDC_LATER 23204
#define IDC_PAGE1_EDIT 23301
#define IDC_PAGE2_EDIT 23302
#define IDC_PAGE2_TRACK 23303
#define IDC_FRAME_EDIT 23304
#define IDC_FRAME_TRACK 23305

// IDD_TOOLS: toolbar ids leave room for their buttons' command ids.
#define IDC_TOOLBAR 23400
#define IDC_STD_TOOLBAR 23500
#define IDC_RADIO_TOOLBAR 23600
#define IDC_BARE_TOOLBAR 23650

// IDD_MANY
#define IDC_MANY_TAB 23701
