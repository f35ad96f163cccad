/* Resources the wizard's screens take from the program: their dialog templates, their control
   identifiers and their pictures. Plain defines: windres reads this file too. */
#pragma once

/* Pictures (type "PNG"). */
#define IDB_SETUP_CONNECT 142
#define IDB_SETUP_DONE 6
#define IDB_SETUP_ANALYSING 136

/* One template per screen, numbered after the screen. */
#define IDD_SCREEN_INIT 200
#define IDD_SCREEN_DUAL_ACTIVATION 201
#define IDD_SCREEN_QUILLBAY_RUNNING 202
#define IDD_SCREEN_REG_CONFIRM 203
#define IDD_SCREEN_REG_COMPLETE 204
#define IDD_SCREEN_USER_CONFIRM 205
#define IDD_SCREEN_END 206
#define IDD_SCREEN_REFRESH_CONFIRM 207
#define IDD_SCREEN_REFRESH_PROCESSING 208
#define IDD_SCREEN_REFRESH_NOMUSIC 209
#define IDD_SCREEN_ARTWORK_CONFIRM 210
#define IDD_SCREEN_UNREG_CONFIRM 211
#define IDD_SCREEN_UNREG_COMPLETE 212
#define IDD_SCREEN_CANCEL 213
#define IDD_SCREEN_ERROR 214

/* Controls; the buttons count from the left. */
#define IDC_SCREEN_TEXT 1001
#define IDC_SCREEN_TEXT2 1002
#define IDC_SCREEN_LINE 1003
#define IDC_SCREEN_PROGRESS 1004
#define IDC_SCREEN_BUTTON1 1011
#define IDC_SCREEN_BUTTON2 1012
#define IDC_SCREEN_BUTTON3 1013
