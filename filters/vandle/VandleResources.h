#pragma once
// Resource identifiers of the YUY2-to-RGB32 server, shared by its .rc file and its code.

#define IDD_ORRICK_PAGE 101
#define IDS_ORRICK_TITLE 102
#define IDC_ORRICK_LIST 1001
