// Numbers of the module's resources, controls, timers and menu commands; shared by the code and the
// resource script.
#pragma once

#define IDI_GAME_WINDOW 102  /* 32 by 32, 16 colours: window class and About box */
#define IDI_CONTACT_MENU 119 /* 16 by 16, 16 colours: the contact-menu item */
#define IDM_GAME_MENU 137    /* the window's menu: "Справка" */
#define IDC_ACTION_BUTTON 1020
#define ID_WIN_BLINK_TIMER 1268
#define IDM_ABOUT 40002
#define IDM_WEB_PAGE 40003
