// Private messages that the hook library posts to the clock window.
// Both deliverables include this header, so the numbers cannot drift apart.
#ifndef TKP_COMMON_DOCKMSG_H
#define TKP_COMMON_DOCKMSG_H

#define WM_DOCK_UPDATE    (0x0400 + 11) // wParam: window that saw the event
#define WM_DOCK_DESTROYED (0x0400 + 12)
#define WM_DOCK_SYSCLOSE  (0x0400 + 13)

#endif
