// Resource and control ids of the control tests' own dialogs (clear of the program's and of
// the framework tests').
#pragma once

#define IDD_EDITS 21001
#define IDD_BUTTONS 21002
#define IDD_LISTS 21003
#define IDD_CUSTOM 21004

#define IDT_PANE 21101
#define IDT_FIELD 21102
#define IDT_LIVE 21103
#define IDT_OTHER 21104

#define IDT_CHECK 21201
#define IDT_RADIO1 21202
#define IDT_RADIO2 21203
#define IDT_RADIO3 21204
#define IDT_ICONBTN 21205
#define IDT_ICONBTN2 21206
#define IDT_BMPBTN 21207
#define IDT_STATICICON 21208
#define IDT_STATICBMP 21209
#define IDT_PLAINBTN 21210
#define IDT_GROUP 21211
#define IDT_TRISTATE 21212
#define IDT_LONERADIO 21213

#define IDT_LIST 21301
#define IDT_LIST2 21302
#define IDT_COMBO 21303
#define IDT_DROPLIST 21304
#define IDT_COMBO2 21305

#define IDT_CUSTOM 21401
#define IDT_CUSTOM2 21402
#define IDT_NEIGHBOUR 21403

#define IDB_TEST 21900
#define IDB_MISSING 21999
