/* Resource ids of Torvane: dialog templates and their controls, strings,
   icons and the cursor. Included by the program (C++) and by Torvane.rc
   (windres), so it holds nothing but #define lines.

   Controls are grouped per dialog, in the order of the templates, and within
   a group in template order. The two drive pages reuse numbers for different
   controls: look ids up within their own page only. */
#ifndef TORVANE_RES_RESOURCE_H
#define TORVANE_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

/* Entry of the main window's window menu that opens the About box; a system
   command id, so its low four bits are zero. */
#define IDM_ABOUTBOX                0x0010

/* About box (template 100) */
#define IDD_ABOUTBOX                100
#define IDC_ABOUT_PRODUCT           1037    /* product name line, bold */
#define IDC_ABOUT_NOTICE            1040    /* notice line */
#define IDC_ABOUT_VERSION           1039    /* "Version 1.10" */
#define IDC_ABOUT_WEB_LINK          1036    /* web address, a link */
#define IDC_ABOUT_ICON_PLACE        1038    /* hidden: where the 48 x 48 icon goes */

/* Main window (template 102) */
#define IDD_MAIN                    102
#define IDC_DRIVE_BOX               1001    /* drive box (ComboBoxEx32) */
#define IDC_DRIVE_LABEL             1003    /* serial text of the selected drive */
#define IDC_MANUAL                  1053    /* icon button that opens the manual */

/* Hard drive page (template 133) */
#define IDD_HARDDRIVE_PAGE          133
#define IDC_HDD_STANDBY             1004    /* "Standby" now */
#define IDC_HDD_APM_SLIDER          1018    /* power management level */
#define IDC_HDD_APM_ALLOW_STANDBY   1019    /* "Allow standby" */
#define IDC_HDD_APM_ENABLE          1021    /* power management "Enable" */
#define IDC_HDD_APM_SET             1007    /* power management "Set" */
#define IDC_HDD_AAM_SLIDER          1015    /* seek noise control level */
#define IDC_HDD_AAM_ENABLE          1014    /* seek noise control "Enable" */
#define IDC_HDD_AAM_SET             1017    /* seek noise control "Set" */
#define IDC_HDD_POWER_STATE         1002    /* active, idle, standby ... */
#define IDC_HDD_APM_HEADING         1010    /* "Power management" */
#define IDC_HDD_AAM_HEADING         1013    /* "Seek noise control" */
#define IDC_HDD_AAM_VALUE           1016    /* current seek noise control value */
#define IDC_HDD_AAM_POSITION        1022    /* seek noise slider position */
#define IDC_HDD_APM_LOW_END         1034    /* "low power (1)" */
#define IDC_HDD_APM_HIGH_END        1035    /* "high performance (127)" */
#define IDC_HDD_APM_POSITION        1023    /* power management slider position */
#define IDC_HDD_APM_VALUE           1020    /* current power management value */
#define IDC_HDD_TIMER_ENABLE        1042    /* "Standby timer" check box */
#define IDC_HDD_TIMER_TIME          1043    /* standby timer, h:m:s */
#define IDC_HDD_TIMER_SPIN          1044    /* up-down of the standby timer */
#define IDC_HDD_TIMER_SET           1045    /* standby timer "Set" */
#define IDC_HDD_TIMER_VALUE         1046    /* the timer Torvane set, and when */
#define IDC_HDD_TIMER_NOTE          1047    /* what else decides when the drive sleeps */
#define IDC_HDD_WEAR_HEADING        1048    /* "Wear" */
#define IDC_HDD_HEAD_LOADS          1049    /* head loads and their rate */
#define IDC_HDD_SPIN_UPS            1050    /* spin-ups and their rate */

/* Optical drive page (template 134) */
#define IDD_OPTICAL_PAGE            134
#define IDC_ODD_IDLE_TIME           1024    /* idle timer, h:m:s */
#define IDC_ODD_IDLE_SPIN           1025    /* up-down of the idle timer */
#define IDC_ODD_IDLE_SET            1028    /* idle timer "Set" */
#define IDC_ODD_IDLE                1030    /* "Idle" now */
#define IDC_ODD_STANDBY_TIME        1026    /* standby timer, h:m:s */
#define IDC_ODD_STANDBY_SPIN        1027    /* up-down of the standby timer */
#define IDC_ODD_STANDBY_SET         1029    /* standby timer "Set" */
#define IDC_ODD_STANDBY             1004    /* "Standby" now */
#define IDC_ODD_SPEED_LIST          1018    /* read speed choice */
#define IDC_ODD_REFRESH             1019    /* icon button: refresh speed settings */
#define IDC_ODD_FAST                1020    /* "Fast" */
#define IDC_ODD_SILENT              1021    /* "Silent" */
#define IDC_ODD_DISC_TYPE           1016    /* type of the disc in the drive */
#define IDC_ODD_SPEED_HEADING       1023    /* "Read speed settings" */
#define IDC_ODD_CURRENT_SPEED       1017    /* current read speed */
#define IDC_ODD_POWER_HEADING       1010    /* "Power management" */
#define IDC_ODD_IDLE_ENABLE         1032    /* "Idle timer" check box */
#define IDC_ODD_STANDBY_ENABLE      1033    /* "Standby timer" check box */
#define IDC_ODD_TIMERS_NOTE         1041    /* shown when the drive has no power timers */

/* String table */
#define IDS_ABOUTBOX                101     /* "&About Torvane..." */
#define IDS_TIP_STANDBY             102
#define IDS_TIP_IDLE                103
#define IDS_TIP_APM_SET             104
#define IDS_TIP_AAM_SET             105
#define IDS_TIP_AAM_SLIDER          106
#define IDS_TIP_APM_SLIDER          107
#define IDS_TIP_AAM_ENABLE          108
#define IDS_TIP_APM_ENABLE          109
#define IDS_TIP_ALLOW_STANDBY       110     /* "Allow standby" and "Standby timer" */
#define IDS_TIP_ALLOW_IDLE          111     /* "Idle timer" */
#define IDS_TIP_IDLE_SET            112
#define IDS_TIP_STANDBY_SET         113
#define IDS_TIP_REFRESH             114
#define IDS_TIP_IDLE_TIME           115     /* idle time field and its up-down */
#define IDS_TIP_STANDBY_TIME        116     /* standby time field and its up-down */
#define IDS_TIP_FAST                117
#define IDS_TIP_SILENT              118
#define IDS_TIP_SPEED_LIST          119
#define IDS_STANDBY_SYSTEM_DRIVE    120
#define IDS_NO_DRIVES               122
#define IDS_STANDBY_ERROR           128
#define IDS_TIP_MANUAL              129

/* Icons and the cursor */
#define IDI_MAINFRAME               128     /* program icon */
#define IDI_HARDDRIVE               131     /* drive box image 0 */
#define IDI_OPTICALDRIVE            132     /* drive box image 1 */
#define IDI_REFRESH                 135     /* refresh button of the optical page */
#define IDC_LINKHAND                136     /* cursor over the About box's link */
#define IDI_MANUAL                  138     /* manual button of the main window */

#endif
