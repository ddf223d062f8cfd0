#pragma once
#define IDD_TEST_DIALOG 9001
#define IDC_T_EDIT 9002
#define IDC_T_LABEL 9003
#define IDC_T_GO 9004
#define IDC_T_THROW 9005
