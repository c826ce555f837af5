// Resource ids of the grid, list view and tree view tests' own dialogs (from 22000 up).
#pragma once

#define IDD_GRID 22001
#define IDD_GRID_SMALL 22002
#define IDD_GRID_WIDE 22003
#define IDD_LIST 22004
#define IDD_TREE 22005
#define IDD_GRID_COMBO 22006

#define IDC_OUTSIDE 22090
#define IDC_GRID 22100
#define IDC_NAME 22101
#define IDC_VALUE 22102
#define IDC_CHOICE 22103
#define IDC_SMALL_GRID 22110
#define IDC_SMALL_CELL 22111
#define IDC_WIDE_GRID 22120
#define IDC_WIDE_FIRST 22200
#define WIDE_COLUMNS 81

#define IDC_LIST 22301
#define IDC_PLAIN_LIST 22302

#define IDC_TREE 22401
#define IDC_PLAIN_TREE 22402
