// Resource ids of the framework tests' own dialogs.
#pragma once

#define IDD_MAIN 20001
#define IDD_PLAIN 20002
#define IDD_BARE 20003
#define IDD_MISSING 20999

#define IDM_TEST 20050
#define IDM_FIRST 20501
#define IDM_SECOND 20502

#define IDC_EDIT 20101
#define IDC_TEXT 20102
#define IDC_GROUP 20103
#define IDC_DOWN 20104
#define IDC_RIGHT 20105
#define IDC_TALL 20106
#define IDC_WIDE 20107
#define IDC_ALL 20108
#define IDC_FIXED 20109
#define IDA_TEST 20070
#define IDI_TEST 20080
