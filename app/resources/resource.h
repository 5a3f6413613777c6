// Identifiers of the program's resources and controls, shared by the
// resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDD_CONFIG 103
#define IDS_MAIN_TITLE 104
#define IDS_ABOUT_TITLE 105
#define IDD_CONFIRM_PASSWORD 106
#define IDR_MAINFRAME 128

// The system menu entry that opens the About box.
#define IDM_ABOUTBOX 0x0010

// Main window.
#define IDC_SCAN 1000
#define IDC_DEVICE_LIST 1002

// Configuration dialog.
#define IDC_IP_ADDRESS 1004
#define IDC_SUBNET_MASK 1005
#define IDC_GATEWAY 1006
#define IDC_PRIMARY_DNS 1007
#define IDC_DHCP_ON 1008
#define IDC_DHCP_OFF 1009
#define IDC_PASSWORD 1010
#define IDC_NEW_PASSWORD 1011
#define IDC_DHCP_GROUP 1012
#define IDC_CHANGE_PASSWORD 1013
#define IDC_SECONDARY_DNS 1014
#define IDC_HOST_NAME 1015

// The new password, asked for a second time.
#define IDC_CONFIRM_PASSWORD 1016

// About box.
#define IDC_ABOUT_VERSION 1014
#define IDC_ABOUT_ICON 1019

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
