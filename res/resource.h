// Identifiers shared by the resource script and the program.
#ifndef TKP_RES_RESOURCE_H
#define TKP_RES_RESOURCE_H

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_SETTING 40004
#define IDM_CHANGEDATA 40005
#define IDM_HELP 40006
#define IDM_PROPERTY 40007

#endif
