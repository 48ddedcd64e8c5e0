/* Resource and control ids, and where the dialogs' controls stand (x, y, width, height in
   dialog units), shared by pixorale.rc, both desktop programs and their tests: plain
   #defines, so that the resource compiler reads this file as well as the C++ compiler. */
#ifndef PIXORALE_APP_RESOURCE_IDS_H
#define PIXORALE_APP_RESOURCE_IDS_H

#define IDR_MAIN_MENU 101
#define IDD_CONVERSION_SETTINGS 102
#define IDD_ABOUT 103
#define IDI_PROGRAM 104

/* Menu 101 */
#define IDM_OPEN 40004
#define IDM_EXIT 40005
#define IDM_CONVERSION_SETTINGS 40006
#define IDM_ABOUT 40008

/* Dialog 102; OK and Cancel are the system's IDOK (1) and IDCANCEL (2). */
#define IDC_SCALE_LIST 1004
#define IDC_SUSTAIN 1005
#define IDC_TEMPO 1006
#define IDC_BEAT_UNITS 1007
#define IDC_MILLISECOND_UNITS 1008
#define IDC_RESOLUTION 1009
#define IDC_SINGLE_NOTES 1010
#define IDC_WITH_CHORDS 1011
#define IDC_RANGE_ON 1012
#define IDC_RANGE_OFF 1013
#define IDC_RANGE_LOW 1014
#define IDC_RANGE_HIGH 1015

/* Dialog 102, in template order, which is also the tab order. The scale list's height is
   that of its open list. */
#define RECT_SETTINGS_DIALOG 0, 0, 186, 300
#define RECT_SETTINGS_OK 34, 279, 50, 14
#define RECT_SETTINGS_CANCEL 100, 279, 50, 14
#define RECT_SCALE_LIST 28, 20, 129, 160
#define RECT_SCALE_LABEL 68, 7, 49, 12
#define RECT_SUSTAIN_LABEL 42, 41, 101, 13
#define RECT_SUSTAIN 73, 53, 38, 15
#define RECT_TEMPO_LABEL 82, 71, 21, 13
#define RECT_TEMPO 73, 82, 38, 15
#define RECT_BEAT_UNITS 69, 103, 47, 15
#define RECT_MILLISECOND_UNITS 69, 115, 47, 15
#define RECT_RESOLUTION 73, 145, 38, 15
#define RECT_RESOLUTION_LABEL 58, 133, 69, 13
#define RECT_SINGLE_NOTES 69, 167, 47, 15
#define RECT_WITH_CHORDS 69, 179, 54, 15
#define RECT_RANGE_ON 49, 212, 80, 15
#define RECT_RANGE_OFF 49, 225, 87, 15
#define RECT_RANGE_LOW 39, 257, 38, 15
#define RECT_RANGE_HIGH 109, 257, 38, 15
#define RECT_RANGE_HIGH_LABEL 111, 245, 34, 10
#define RECT_RANGE_LOW_LABEL 41, 245, 34, 10
#define RECT_RANGE_LABEL 61, 200, 63, 13

/* Dialog 103 */
#define RECT_ABOUT_DIALOG 0, 0, 74, 41
#define RECT_ABOUT_OK 27, 27, 20, 7
#define RECT_ABOUT_TEXT 24, 7, 43, 19
#define RECT_ABOUT_ICON 7, 7, 20, 20

#endif
