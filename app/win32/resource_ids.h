/* Resource and control ids, shared by pixorale.rc and the code: plain #defines, so that the
   resource compiler reads this file as well as the C++ compiler. */
#ifndef PIXORALE_APP_WIN32_RESOURCE_IDS_H
#define PIXORALE_APP_WIN32_RESOURCE_IDS_H

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

#endif
