// Resource identifiers of the dialog-background demo.
#pragma once

#define IDD_DEMO 100
#define IDC_BACKGROUND 1000
#define IDC_TITLE 1001
#define IDC_NAME_LABEL 1002
#define IDC_NAME 1003
#define IDC_OPTION 1004
#define IDC_SCALE 1005
