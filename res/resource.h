// Resource identifiers, shared by the C++ sources and windres.
// Plain #defines only: windres cannot parse anything else.
#ifndef KESTRAVA_RES_RESOURCE_H
#define KESTRAVA_RES_RESOURCE_H

#define IDC_STATIC (-1)

// Window icon. Deliberately has no icon group in the resources, so loading it yields none.
#define IDR_MAINFRAME 128

// Icon groups
#define IDI_FOLDER_ARROW 129
#define IDI_FILE_ARROW 135
#define IDI_ABOUT_ICON 140

// Main window (template 102); the controls are listed in template order.
#define IDD_MAIN_DIALOG 102
#define IDC_SOURCE_PATH 1002
#define IDC_TARGET_PATH 1003
#define IDC_BROWSE_SOURCE 1005
#define IDC_BROWSE_TARGET 1006
#define IDC_COPY 1007
#define IDC_CLOSE 1010
#define IDC_TARGET_LABEL 1001
#define IDC_PROGRESS 1004
#define IDC_LOAD_SETTINGS 1008
#define IDC_AUTO_RUN 1009
#define IDC_EXIT_PROMPT 1011
#define IDC_DELAY 1012
#define IDC_DELAY_SECONDS 1013
#define IDC_PROMPT_LABEL 1015
#define IDC_COUNTDOWN_TEXT 1016
#define IDC_SOURCE_KIND 1017
#define IDC_CONFIG_LINK 1018
#define IDC_ABOUT_BUTTON 1021
#define IDC_ABOUT_LINK 1022
#define IDC_FOLDER_COPY 1023
#define IDC_STATUS_TEXT 1024
#define IDC_FILE_COPY 1025
#define IDC_AUTO_START 1026

// About box (template 133); its OK button is the system's IDOK.
#define IDD_ABOUT_DIALOG 133
#define IDC_LOAD_PICTURE 1027
#define IDC_ABOUT_TEXT 1034
#define IDC_SITE_LINK 1035

#endif  // KESTRAVA_RES_RESOURCE_H
