/* Resource ids shared by Marigold.rc and the exports that point the host at them. */
#pragma once

#define MARIGOLD_IDS_MENU_TEXT 1
#define MARIGOLD_IDS_STATUS_MESSAGE 2
#define MARIGOLD_IDB_COMMAND 101
