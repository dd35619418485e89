// Control ids of the main window; the end-to-end driver finds controls by them.
#pragma once

#define IDC_LSTLOG 1001
#define IDC_FRAME1 1002
#define IDC_CMDSELECTFILE 1003
#define IDC_CMDPLAY 1004
#define IDC_CMDSTOP 1005
#define IDC_LBLSOUNDFILE 1006
#define IDC_CMDCREATERUNTIME 1007
#define IDC_CMDRESETDBASE 1008

// The log list's context menu.
#define IDM_COPYREPORT 1201
#define IDM_COPYSYSTEMPROFILE 1202

#define IDC_WAIT_FRAME 1101
#define IDC_WAIT_LABEL1 1102
// The export's progress in the wait window.
#define IDC_WAIT_FOLDER 1103
#define IDC_WAIT_COUNT 1104
#define IDC_WAIT_CANCEL 1105

#define VTX_MAIN_CAPTION L"VTX Diagnostic"
#define VTX_MAIN_CLASS L"VTXDiagnosticMain"
#define VTX_WAIT_CLASS L"VTXDiagnosticPleaseWait"
