/* The system's message texts and their string-table ids. This header is read both by the
   resource compiler, which builds the DLL's string table from it, and by the C++ code, so
   every text has one source. Only #define lines: windres understands nothing else. */
#ifndef OSTRAVINE_RESOURCES_TEXTS_H
#define OSTRAVINE_RESOURCES_TEXTS_H

/* Message dialog: window captions by dialog kind. */
#define IDS_MSG_WARNING 65365
#define S_MSG_WARNING "Warning"
#define IDS_MSG_ERROR 65366
#define S_MSG_ERROR "Error"
#define IDS_MSG_INFORMATION 65367
#define S_MSG_INFORMATION "Information"
#define IDS_MSG_CONFIRM 65368
#define S_MSG_CONFIRM "Confirm"

/* Message dialog: standard button captions. */
#define IDS_BTN_YES 65369
#define S_BTN_YES "&Yes"
#define IDS_BTN_NO 65370
#define S_BTN_NO "&No"
#define IDS_BTN_YES_TO_ALL 65347
#define S_BTN_YES_TO_ALL "Yes to &All"
#define IDS_BTN_NO_TO_ALL 65346
#define S_BTN_NO_TO_ALL "N&o to All"
#define IDS_BTN_ALL 65345
#define S_BTN_ALL "&All"
#define IDS_BTN_OK 65371
#define S_BTN_OK "OK"
#define IDS_BTN_RETRY 65375
#define S_BTN_RETRY "&Retry"
#define IDS_BTN_IGNORE 65344
#define S_BTN_IGNORE "&Ignore"
#define IDS_BTN_ABORT 65374
#define S_BTN_ABORT "&Abort"
#define IDS_BTN_CANCEL 65372
#define S_BTN_CANCEL "Cancel"
#define IDS_BTN_HELP 65373
#define S_BTN_HELP "&Help"

/* Plug-in boundary. */
#define IDS_ONLY_8_OR_24_BIT 64000
#define S_ONLY_8_OR_24_BIT "Only 8 or 24 bit images supported"
#define IDS_NO_SELECTION 64001
#define S_NO_SELECTION "No rectangular selection"
#define IDS_UNKNOWN_ERROR 64002
#define S_UNKNOWN_ERROR "An unexpected error occurred in the plug-in"

/* Image model. */
#define IDS_UNSUPPORTED_PIXEL_FORMAT 64010
#define S_UNSUPPORTED_PIXEL_FORMAT "Unsupported pixel format"
#define IDS_INVALID_BITMAP_SIZE 64011
#define S_INVALID_BITMAP_SIZE "Invalid bitmap size"
#define IDS_OUT_OF_MEMORY 64012
#define S_OUT_OF_MEMORY "Out of memory"
#define IDS_CANNOT_ASSIGN 64013
#define S_CANNOT_ASSIGN "Cannot assign %s to %s"
#define IDS_INVALID_PIXEL_FORMAT 64014
#define S_INVALID_PIXEL_FORMAT "Invalid pixel format"

#endif
