#pragma once
// Identifiers of Quillbay's own resources and of the language module's strings it reads.

#define IDD_ABOUTBOX 100
#define IDR_MAINFRAME 128
#define IDC_ABOUT_NAME_VERSION 1019
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Strings of the language module.
#define IDS_HIDDEN_INSTANCE_RUNNING 138
#define IDS_PRODUCT_NAME 139
#define IDS_ABOUT_CAPTION 196
#define IDS_SETUP_RUNNING 275
