/* Identifiers of every resource in glimber.rc; shared by the code and the script. */
#ifndef GLIMBER_RESOURCE_H
#define GLIMBER_RESOURCE_H

/* Strings */
#define IDS_PROPERTIES 117
#define IDS_TOOLNAME 118
#define IDS_TOOLDESC 119
#define IDS_NOTICE 120
#define IDS_ABOUT 121
#define IDS_ZOOMFACTOR 122

/* Images and cursor */
#define IDB_TOOLCOLOR 110
#define IDB_TOOLMONO 111
#define IDC_TOOLCURSOR 128

/* Dialogs */
#define IDD_PAGE 112
#define IDD_ABOUT 127

/* Controls of the property page */
#define IDC_ZOOMSLIDER 1047
#define IDC_ABOUTBUTTON 1048
#define IDC_ZOOMGROUP 1052

/* Controls of the About box */
#define IDC_ABOUTNAME 1050
#define IDC_ABOUTNOTICE 1051

/* Context-menu commands; the About entry shares the page button's number */
#define IDM_ZOOM1 601
#define IDM_ZOOM16 616
#define IDM_ABOUT 1048
#define IDM_PROPERTIES 117

#endif
