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

// Part-of-speech names, by the code of an article's part-of-speech tag.
#define IDS_POS_NOUN 132
#define IDS_POS_ADJECTIVE 133
#define IDS_POS_VERB 134
#define IDS_POS_ADVERB 135
#define IDS_POS_NUMERAL 136
#define IDS_POS_PARTICIPLE 137
#define IDS_POS_PRONOUN 138
#define IDS_POS_CONJUNCTION 139
#define IDS_POS_PREPOSITION 140
#define IDS_POS_PARTICLE 141
#define IDS_POS_PREDICATIVE 142
#define IDS_POS_PUNCTUATION 143
#define IDS_POS_UNKNOWN 144
#define IDS_POS_DETERMINER 148
#define IDS_POS_ARTICLE 149
#define IDS_POS_QUANTIFIER 150
#define IDS_POS_COMPARATIVE 151
#define IDS_POS_COORDINATING_CONJUNCTION 152
#define IDS_POS_SUBORDINATING_CONJUNCTION 153
#define IDS_POS_NEGATIVE_PARTICLE 154
#define IDS_POS_INDEFINITE_ARTICLE 155
#define IDS_POS_DEFINITE_ARTICLE 156
