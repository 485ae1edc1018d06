// Resource and command identifiers. These numbers are fixed: settings files,
// toolbar resources and menus refer to them.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_LEXORIN_DIALOG      102
#define IDD_OPTION_BANNER       141
#define IDD_OPTION_DICT         142
#define IDD_OPTION_INTERFACE    146
#define IDD_OPTION_VOICE        163
#define IDD_TIP                 182
#define IDD_BMP_PREVIEW         5000

// Strings
#define IDS_ABOUTBOX            101
#define IDS_PRODUCT_NAME        32795
#define IDS_VERSION             32797

// Icons, bitmaps, menus, toolbar, sound
#define IDR_MAINFRAME           133
#define IDR_TRAY_MENU           130
#define IDR_MAINTOOLBAR         132
#define IDB_BACKGROUND          143
#define IDI_TRAY_HIDDEN         174
#define IDI_TRAY_SHOWN          175
#define IDR_WAVE_TRAY           169
#define IDB_TOOLBAR_24          300     // the toolbar's images drawn 24 x 23 ...
#define IDB_TOOLBAR_32          301     // ... and 32 x 30, same order and ground
#define IDB_OPTION_IMAGES_24    302     // bitmap 282 drawn 24 x 24 ...
#define IDB_OPTION_IMAGES_32    303     // ... and 32 x 32
#define IDC_CURSOR_161          161
#define IDC_CURSOR_165          165

// Resource type of toolbar resources
#define RT_TOOLBAR_RES          241

// Window ids
#define IDC_MAIN_TOOLBAR        132
#define IDC_BANNER              32777

// Commands shared by the toolbar, the tray menu and the main bar
#define ID_DICT_RESTART         32773
#define ID_DICT_PREVIOUS        32774
#define ID_DICT_NEXT            32775
#define ID_BANNER_SLOT          32777
#define ID_HELP_ITEM            32783
#define ID_APP_ABOUT_CMD        32784
#define ID_GAP_2                32786
#define ID_PAUSE_PLAY           32788
#define ID_SHOW_BAR             32789
#define ID_HIDE_BAR             32790
#define ID_OPTIONS              32791
#define ID_GAP_1                32792
#define ID_TIP_OF_DAY           32793
#define ID_APP_EXIT_CMD         57665
#define ID_HELP_CMD             57670

// Study marks on the entry under the pointer (bar context menu) or the newest entry
#define ID_STUDY_KNOWN          32900
#define ID_STUDY_UNKNOWN        32901
#define ID_STUDY_COPY           32902
#define ID_STUDY_SPEAK          32903

// Importing a word list (tray and context menus, the dictionary page)
#define ID_IMPORT_WORDLIST      32904

// System-menu item of the main bar
#define IDM_ABOUTBOX            16

// Tip of the day: the bulb picture, the dialog's controls and its strings
#define IDB_TIP_BULB            104
#define IDB_TIP_BULB_2X         305     // the bulb drawn 52 x 64
#define IDC_TIP_PICTURE         104
#define IDC_TIP_PANEL           536
#define IDC_TIP_NEXT            544
#define IDC_TIP_STARTUP         545
#define IDC_TIP_TEXT            547
#define IDS_TIP_FILE_MISSING    32801
#define IDS_TIP_FILE_DAMAGED    32802
#define IDS_TIP_HEADING         32803

// The settings sheet and its dictionary and voice pages (settings.rc)
#define IDI_VOICE_PAGE          180     // voice page: a speaker
#define IDI_DICT_SELECT         183     // dictionary page: a book
#define IDI_DICT_CAPTURE        184     // dictionary page: screen word capture
#define IDI_TREE_GROUP          185     // page tree: group node
#define IDI_TREE_PAGE           186     // page tree: page without an icon
#define IDB_OPTION_IMAGES       282     // page icons and dictionary list images
#define IDC_DICT_CAPTURE        1034
#define IDC_VOICE_MANUAL        1022
#define IDC_VOICE_AUTO          1023
#define IDC_VOICE_OFF           1120
#define IDC_VOICE_LIST          1121
#define IDC_VOICE_CURRENT       1122
#define IDC_VOICE_RATE          1123
#define IDC_VOICE_LISTEN        1124
#define IDC_VOICE_STATUS        1125

// The about box (template 100): its controls and the logo
#define IDC_ABOUT_CLOUDS        1000
#define IDC_ABOUT_VERSION       1006
#define IDC_ABOUT_MAIL          1019
#define IDC_ABOUT_HOMEPAGE      1023
#define IDC_ABOUT_LOGO          1024
#define IDB_ABOUT_LOGO          164
#define IDB_ABOUT_LOGO_2X       304     // the logo drawn 312 x 128

// The bitmap preview panel (dialog 5000) and the interface settings page (dialog 146)
#define IDC_BMP_PREVIEW_AREA    5001
#define IDC_BMP_WIDTH           5002
#define IDC_BMP_HEIGHT          5003
#define IDC_BMP_COLOURS         5004
#define IDC_BMP_SIZE            5005
#define IDC_BMP_SHOW_PREVIEW    5006
#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
#define IDI_INTERFACE_PAGE      181
#define IDC_BK_END_COLOR        1004
#define IDC_BK_FILE             1009
#define IDC_BK_BROWSE           1011
#define IDC_BK_IMAGE            1014
#define IDC_BK_START_COLOR      1021
#define IDC_BK_PREVIEW          1035

// The banner options page (widgets_banner.rc)
#define IDD_OPTION_BANNER       141
#define IDI_FONT_STYLES         179     // font properties: bold, italic, underline, colour
#define IDI_BANNER_LOOK         182     // overall banner properties: the banner strip
#define IDC_BANNER_BKCOLOR      1001
#define IDC_BANNER_WORDCOLOR    1003
#define IDC_BANNER_AUTOSIZE     1005
#define IDC_BANNER_SPEED        1007
#define IDC_BANNER_SCROLL       1008
#define IDC_BANNER_WORD_I       1010
#define IDC_BANNER_WORD_B       1012
#define IDC_BANNER_WORD_U       1013
#define IDC_BANNER_PHONETIC_I   1016
#define IDC_BANNER_DESC_I       1018
#define IDC_BANNER_PHONETIC_B   1022
#define IDC_BANNER_DESC_B       1025
#define IDC_BANNER_DESC_U       1026
#define IDC_BANNER_PHONETIC_U   1027
#define IDC_BANNER_COLORBTN     1028
#define IDC_BANNER_PHONETICCOLOR 1029
#define IDC_BANNER_DESCCOLOR    1030
#define IDC_BANNER_POWERSAVE    1031

// The study page of the settings sheet (settings.rc)
#define IDD_OPTION_STUDY        190
#define IDI_STUDY_PAGE          191     // study page: a stack of word cards, ticked
#define IDC_STUDY_REVIEW_EVERY  1101
#define IDC_STUDY_REVIEW_SPIN   1102
#define IDC_STUDY_COUNTS        1103
#define IDC_STUDY_EXPORT        1104
#define IDC_STUDY_CLEAR         1105
#define IDC_STUDY_HOVER_PAUSE   1106
#define IDC_STUDY_RECALL        1107
#define IDC_STUDY_PAUSE_HIDDEN  1108
#define IDC_STUDY_HOTKEY_SHOW   1109
#define IDC_STUDY_HOTKEY_PAUSE  1110
#define IDC_STUDY_HOTKEY_KNOWN  1111
#define IDC_STUDY_HOTKEY_UNKNOWN 1112
#define IDC_STUDY_HOTKEY_SPEAK  1113
#define IDC_STUDY_RETENTION     1114
#define IDC_STUDY_RETENTION_SPIN 1115
#define IDC_STUDY_CHART         1116

// The import preview (import.rc)
#define IDD_IMPORT_PREVIEW      192
#define IDC_IMPORT_PROGRESS     1120
#define IDC_IMPORT_STATUS       1121
#define IDC_IMPORT_LIST         1122
#define IDC_IMPORT_COUNTS       1123
#define IDC_IMPORT_SKIPPED      1124
#define IDC_IMPORT_ENCODING     1125
#define IDC_IMPORT_FORMAT       1126
#define IDC_IMPORT_NAME         1127
#define IDC_DICT_IMPORT         1128
