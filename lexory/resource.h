// Resource ids of the dictionary program.
#pragma once

// Dialogs, menus, icons.
#define IDD_LEXORY_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_LOOKUP_MENU 129

// Controls of the lookup window.
#define IDC_WORD_EDIT 1000
#define IDC_WORD_LIST 1001

// Commands of the lookup window's soft-key bar.
#define ID_HISTORY 32782
#define ID_BOOKMARKS 32784
#define ID_ADD_BOOKMARK 32786
#define ID_ABOUT 32798
#define ID_EXIT 32800
#define ID_DIRECTION_FIRST 32812
#define ID_DIRECTION_LAST 32822 // eleven direction items are handled
#define ID_HELP_INDEX 57670

// Strings.
#define IDS_LIST_EMPTY 4
#define IDS_BOOKMARK_ADDED 5
#define IDS_CHOOSE_WORD 6
#define IDS_HELP_NOT_FOUND 7
#define IDS_OPEN_FAILED 23
#define IDS_NO_SUBWINDOW 24
#define IDS_APP_TITLE 57344
