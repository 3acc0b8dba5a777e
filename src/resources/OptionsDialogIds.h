// Templates and control IDs of the options dialog, shared by its resource script and its window.
#pragma once

#define IDD_OPTIONS 200
#define IDD_PAGE_TRAY 201
#define IDD_PAGE_COMMON 202
#define IDD_PAGE_MINIMIZER 203

// The frame: page bar, header, the three buttons (Ok and Cancel are IDOK and IDCANCEL, so that
// Enter and Esc reach them the way they reach any dialog's).
#define IDC_SPEEDITEM1 1001
#define IDC_SPEEDITEM2 1002
#define IDC_SPEEDITEM3 1003
#define IDC_SPEEDITEM4 1004
#define IDC_PAINTBOX1 1010
#define IDC_BUTTON5 1020

// "Tray icons"
#define IDC_GROUPBOX1 1100
#define IDC_LISTVIEW1 1101
#define IDC_SPEEDBUTTON3 1102
#define IDC_SPEEDBUTTON4 1103
#define IDC_GROUPBOX7 1104
#define IDC_RADIOBUTTON10 1110
#define IDC_RADIOBUTTON11 1111
#define IDC_RADIOBUTTON12 1112

// "Common"
#define IDC_GROUPBOX2 1200
#define IDC_RADIOBUTTON1 1201
#define IDC_RADIOBUTTON2 1202
#define IDC_RADIOBUTTON3 1203
#define IDC_GROUPBOX6 1210
#define IDC_RADIOBUTTON7 1217
#define IDC_RADIOBUTTON8 1218
#define IDC_RADIOBUTTON9 1219
#define IDC_GROUPBOX3 1220
#define IDC_CHECKBOX3 1221
#define IDC_SPINEDIT1 1222
#define IDC_SPINEDIT1_ARROWS 1223
#define IDC_LABEL3 1224
#define IDC_LABEL4 1225
#define IDC_GROUPBOX4 1230
#define IDC_BUTTON1 1231
#define IDC_LABEL5 1232
#define IDC_LABEL9 1240
#define IDC_PANELKEY 1241
#define IDC_PANELKEYNOTE 1242

// "Minimizer"
#define IDC_GROUPBOX5 1300
#define IDC_CHECKBOX4 1301
#define IDC_RADIOBUTTON4 1304
#define IDC_RADIOBUTTON5 1305
#define IDC_RADIOBUTTON6 1306
#define IDC_LABEL8 1307
#define IDC_HOTKEY1 1308
#define IDC_HOTKEYNOTE 1309
