#pragma once
// String identifiers: 1 lies in the program, the others in the language module it names.

#define IDS_RESOURCE_MODULE 1
#define IDS_UPDATE_CAPTION 102
#define IDS_START_FAILED 1002
#define IDS_APPLICATION_TITLE 57344
#define IDS_PLAYER_DISPLAY_NAME 2002
#define IDS_GENERAL_FAILURE 2004
