#pragma once
// Resource identifiers of the installer, shared by its resource script, its code and its tests.

// Dialog templates.
#define IDD_MESSAGE_DLG 100
#define IDD_MAIN_DLG 129
#define IDI_SETUP 128

// Controls of the main dialog.
#define IDC_INSTALL 1000
#define IDC_UNINSTALL 1001
#define IDC_PATH 1002
#define IDC_REFRESH 1003
#define IDC_NOTICE 1004

// Controls of the hint dialog.
#define IDC_HINT_FIRST 1010
#define IDC_HINT_SECOND 1011

// Payload resources of type "SANDBOX", language 1033.
#define IDR_PAYLOAD_PROGRAM 5000
#define IDR_PAYLOAD_SKIN_PACKAGE 5001
#define IDR_PAYLOAD_THEME 5002
#define IDR_HINT_PICTURE 5003
#define IDR_PAYLOAD_THEME_MAP 5004
