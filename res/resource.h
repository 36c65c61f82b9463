// Identifiers shared by the resource script and the program.
#ifndef TKP_RES_RESOURCE_H
#define TKP_RES_RESOURCE_H

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_SETTING 40004
#define IDM_CHANGEDATA 40005
#define IDM_HELP 40006
#define IDM_PROPERTY 40007

// Settings dialog
#define IDC_HOURS12 1007
#define IDC_HOURS24 1008
#define IDC_DATETIP 1009
#define IDC_NOYEAR 1015
#define IDC_WESTERNYEAR 1016
#define IDC_ERAYEAR 1017
#define IDC_SLASHES 1018
#define IDC_UNITS 1019
#define IDC_YEARFRAME 1020
#define IDC_FORMATFRAME 1021
#define IDC_TRAYICON 1022

// Version dialog
#define IDC_SUPPORTLINK 1000
#define IDC_PRODUCTNAME 1001
#define IDC_EDITION 1006

// Data-property dialog
#define IDC_AUTHOR 1002
#define IDC_DATANAME 1003
#define IDC_HOMEPAGE 1004
#define IDC_MAILADDRESS 1005

#endif
