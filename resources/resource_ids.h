/* Resource ids of the saver, shared by the resource script and the C++ code, so plain
   #defines only: the resource compiler reads nothing else. */
#pragma once

#define KORVANE_ICON 100
#define KORVANE_BANNER_BITMAP 103
#define KORVANE_GLYPH_BITMAP 111
#define KORVANE_SOUND_DATA_LOOP 133
#define KORVANE_SOUND_SEARCH_LOOP 134
#define KORVANE_SOUND_KEY_CLICK 136
#define KORVANE_SOUND_TITLE_MUSIC 138
#define KORVANE_DESCRIPTION_STRING 1

/* The configuration dialog and its controls. */
#define KORVANE_CONFIG_DIALOG 2003
#define IDC_CONFIG_OK 1017
#define IDC_CONFIG_CANCEL 1030
#define IDC_SOUND_CHECK 1007
#define IDC_TITLE_CHECK 1008
#define IDC_PHONE_CHECK 1022
#define IDC_MESSAGE_CHECK 1023
#define IDC_CODE_CHECK 1024
#define IDC_RESTORE_DEFAULTS 1027
#define IDC_BANNER 1003
#define IDC_MESSAGE_EDIT 1029
#define IDC_PHONE_EDIT 1031
#define IDC_GLYPH_SIZE_LABEL 1032
#define IDC_GLYPH_SIZE_LIST 1033
