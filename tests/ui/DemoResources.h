#pragma once
// Resource identifiers of the framework's test program and its language module.

#define IDD_DEMO_OPTIONS 200
#define IDD_DEMO_PAGE_GENERAL 210
#define IDD_DEMO_PAGE_EXTRA 211
// In the language module, not in the program.
#define IDD_DEMO_MODULE_NOTICE 220

#define IDC_DEMO_REMEMBER 1001
#define IDC_DEMO_NAME 1002
#define IDC_DEMO_LABEL 1003
#define IDC_DEMO_PAGE_CHECK 1010
#define IDC_DEMO_PAGE_TEXT 1011
#define IDC_DEMO_PAGE_REFRESH 1012

// Strings of the language module; IDS_DEMO_REMEMBER is left out of it on purpose.
#define IDS_DEMO_TITLE 300
#define IDS_DEMO_REMEMBER 301
#define IDS_DEMO_LABEL 302
