/* The system's message texts and their string-table ids. This header is read both by the
   resource compiler, which builds the DLL's string table from it, and by the C++ code, so
   every text has one source, in UTF-8. Only #define lines: windres understands nothing else. */
#ifndef OSTRAVINE_RESOURCES_TEXTS_H
#define OSTRAVINE_RESOURCES_TEXTS_H

/* A double quote inside a text: the resource compiler takes it doubled, C++ escaped. Both
   join adjacent literals into one text. */
#ifdef RC_INVOKED
#define S_QUOTE """"
#else
#define S_QUOTE "\""
#endif

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
#define IDS_CREATE_WINDOW 64003
#define S_CREATE_WINDOW "Error creating window"

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

/* Streams. */
#define IDS_NEED_ACCESS 64020
#define S_NEED_ACCESS "Either read, write or full access must be specified in call to CreateFile"
#define IDS_ERROR_OPENING 64021
#define S_ERROR_OPENING "Error opening " S_QUOTE "%s" S_QUOTE " - %s"
#define IDS_ERROR_READING 64022
#define S_ERROR_READING "Error reading from stream - %s"
#define IDS_ERROR_WRITING 64023
#define S_ERROR_WRITING "Error writing to stream - %s"
#define IDS_READ_LESS 64024
#define S_READ_LESS "Read less than expected"
#define IDS_IO_ERROR 64025
#define S_IO_ERROR "IO-error: %s"
#define IDS_ERROR_SEEKING 64026
#define S_ERROR_SEEKING "Error moving file pointer - %s"
#define IDS_ERROR_TRUNCATING 64027
#define S_ERROR_TRUNCATING "Error truncating file " S_QUOTE "%s" S_QUOTE " - %s"
#define IDS_ERROR_CLOSING 64028
#define S_ERROR_CLOSING "Error closing " S_QUOTE "%s" S_QUOTE " - %s"
#define IDS_ERROR_DELETING 64029
#define S_ERROR_DELETING "Error deleting " S_QUOTE "%s" S_QUOTE " - %s"
#define IDS_INVALID_BUFFER_SIZE 64030
#define S_INVALID_BUFFER_SIZE "Invalid buffer size"

/* String lists. */
#define IDS_LIST_INDEX 64040
#define S_LIST_INDEX "List index out of bounds (%d)"
#define IDS_SORTED_LIST 64041
#define S_SORTED_LIST "Operation not allowed on sorted string list"
#define IDS_DUPLICATE_STRING 64042
#define S_DUPLICATE_STRING "String list does not allow duplicates"

/* Profile dialog. */
#define IDS_LENGTH 64050
#define S_LENGTH "Length: %d pixels"
#define IDS_PIXEL_SUM 64051
#define S_PIXEL_SUM "Grayscale pixel sum: %lld"
#define IDS_CHANGE_DIAGONAL 64052
#define S_CHANGE_DIAGONAL "Change &diagonal"
#define IDS_CHANGE_DIRECTION 64053
#define S_CHANGE_DIRECTION "Change &direction"

/* Profile dialog: the values under the mouse and the values table. */
#define IDS_TIP_SAMPLE 64054
#define S_TIP_SAMPLE "Sample %d (%d, %d)"
#define IDS_TIP_ROW 64055
#define S_TIP_ROW "Row %d"
#define IDS_TIP_COLUMN 64056
#define S_TIP_COLUMN "Column %d"
#define IDS_TIP_RED 64057
#define S_TIP_RED "R %s"
#define IDS_TIP_GREEN 64102
#define S_TIP_GREEN "G %s"
#define IDS_TIP_BLUE 64103
#define S_TIP_BLUE "B %s"
#define IDS_TIP_GRAY 64104
#define S_TIP_GRAY "Gray %s"
#define IDS_TIP_AVERAGE 64105
#define S_TIP_AVERAGE "Average %s"
#define IDS_TIP_RANGE 64111
#define S_TIP_RANGE "Samples %d to %d"
#define IDS_TIP_STATISTICS 64112
#define S_TIP_STATISTICS "%s: %d samples; min %s; max %s; mean %s; sd %s; sum %s; FWHM %s"
#define IDS_NONE 64113
#define S_NONE "none"
#define IDS_COL_CURVE 64114
#define S_COL_CURVE "Curve"
#define IDS_COL_COUNT 64115
#define S_COL_COUNT "Count"
#define IDS_COL_MINIMUM 64116
#define S_COL_MINIMUM "Minimum"
#define IDS_COL_MAXIMUM 64117
#define S_COL_MAXIMUM "Maximum"
#define IDS_COL_MEAN 64118
#define S_COL_MEAN "Mean"
#define IDS_COL_SD 64119
#define S_COL_SD "SD"
#define IDS_COL_SUM 64120
#define S_COL_SUM "Sum"
#define IDS_COL_FWHM 64121
#define S_COL_FWHM "FWHM"
#define IDS_MENU_ZOOM_TO_RANGE 64122
#define S_MENU_ZOOM_TO_RANGE "Zoo&m to range"
#define IDS_MENU_COPY_STATISTICS 64123
#define S_MENU_COPY_STATISTICS "Copy s&tatistics"
#define IDS_TIP_SPREAD 64125
#define S_TIP_SPREAD " \xC2\xB1 %s"
#define IDS_TIP_INDEX 64106
#define S_TIP_INDEX "Index %d = R %d G %d B %d"
#define IDS_TIP_VALUE 64058
#define S_TIP_VALUE "Value %s"
#define IDS_TIP_REAL 64059
#define S_TIP_REAL "Real %s"
#define IDS_TIP_IMAGINARY 64080
#define S_TIP_IMAGINARY "Imaginary %s"
#define IDS_COL_SAMPLE 64081
#define S_COL_SAMPLE "Sample"
#define IDS_COL_X 64082
#define S_COL_X "X"
#define IDS_COL_Y 64083
#define S_COL_Y "Y"
#define IDS_COL_ROW 64084
#define S_COL_ROW "Row"
#define IDS_COL_COLUMN 64085
#define S_COL_COLUMN "Column"
#define IDS_COL_RED 64086
#define S_COL_RED "Red"
#define IDS_COL_GREEN 64087
#define S_COL_GREEN "Green"
#define IDS_COL_BLUE 64088
#define S_COL_BLUE "Blue"
#define IDS_COL_GRAY 64089
#define S_COL_GRAY "Gray"
#define IDS_COL_AVERAGE 64107
#define S_COL_AVERAGE "Average"
#define IDS_COL_VALUE 64090
#define S_COL_VALUE "Value"
#define IDS_COL_REAL 64091
#define S_COL_REAL "Real"
#define IDS_COL_IMAGINARY 64092
#define S_COL_IMAGINARY "Imaginary"
#define IDS_MENU_COPY_VALUES 64093
#define S_MENU_COPY_VALUES "&Copy values\tCtrl+C"
#define IDS_MENU_COPY_PLOT 64094
#define S_MENU_COPY_PLOT "Copy &plot"
#define IDS_MENU_WHOLE_PROFILE 64110
#define S_MENU_WHOLE_PROFILE "Show &whole profile\tCtrl+0"
#define IDS_MENU_LINE_WIDTH 64126
#define S_MENU_LINE_WIDTH "&Line width"
#define IDS_PLOT_IN_VIEW 64127
#define S_PLOT_IN_VIEW "Samples %d to %d of %d"
#define IDS_PLOT_WIDTH 64128
#define S_PLOT_WIDTH "Width %d"
#define IDS_MENU_LINE 64129
#define S_MENU_LINE "Li&ne...\tCtrl+L"
#define IDS_LINE_CAPTION 64130
#define S_LINE_CAPTION "Line"
#define IDS_LINE_FROM 64131
#define S_LINE_FROM "&From x, y:"
#define IDS_LINE_TO 64132
#define S_LINE_TO "&To x, y:"
#define IDS_LINE_RESET 64133
#define S_LINE_RESET "&Reset"
#define IDS_COL_ON_LINE 64134
#define S_COL_ON_LINE " (x %d y %d to x %d y %d)"
#define IDS_MENU_FIT_PEAK 64135
#define S_MENU_FIT_PEAK "Fit pea&k"
#define IDS_MENU_FIT_EDGE 64136
#define S_MENU_FIT_EDGE "Fit &edge"
#define IDS_MENU_CLEAR_FITS 64137
#define S_MENU_CLEAR_FITS "Clea&r fits"
#define IDS_MENU_PIXEL_SIZE 64138
#define S_MENU_PIXEL_SIZE "Pi&xel size..."
#define IDS_MENU_FIGURES 64139
#define S_MENU_FIGURES "Fi&gures...\tCtrl+F"
#define IDS_FIGURES_CAPTION 64140
#define S_FIGURES_CAPTION "Figures"
#define IDS_FIGURES_COPY 64141
#define S_FIGURES_COPY "&Copy"
#define IDS_PIXEL_SIZE_CAPTION 64142
#define S_PIXEL_SIZE_CAPTION "Pixel size"
#define IDS_PIXEL_SIZE_LENGTH 64143
#define S_PIXEL_SIZE_LENGTH "&Length of a pixel:"
#define IDS_PIXEL_SIZE_UNIT 64144
#define S_PIXEL_SIZE_UNIT "&Unit:"
#define IDS_PIXEL_SIZE_BAD 64145
#define S_PIXEL_SIZE_BAD "Type the length of a pixel as a number above 0."
#define IDS_UNIT_NONE 64146
#define S_UNIT_NONE "none"
#define IDS_FIG_FIGURE 64147
#define S_FIG_FIGURE "Figure"
#define IDS_FIG_PEAK_AT 64148
#define S_FIG_PEAK_AT "Peak at"
#define IDS_FIG_CENTROID 64149
#define S_FIG_CENTROID "Centroid"
#define IDS_FIG_PEAK_CENTRE 64150
#define S_FIG_PEAK_CENTRE "Peak fit: centre"
#define IDS_FIG_PEAK_SIGMA 64151
#define S_FIG_PEAK_SIGMA "Peak fit: sigma"
#define IDS_FIG_PEAK_FWHM 64152
#define S_FIG_PEAK_FWHM "Peak fit: FWHM"
#define IDS_FIG_PEAK_HEIGHT 64153
#define S_FIG_PEAK_HEIGHT "Peak fit: height"
#define IDS_FIG_PEAK_BASELINE 64154
#define S_FIG_PEAK_BASELINE "Peak fit: baseline"
#define IDS_FIG_PEAK_R2 64155
#define S_FIG_PEAK_R2 "Peak fit: R²"
#define IDS_FIG_EDGE_CENTRE 64156
#define S_FIG_EDGE_CENTRE "Edge fit: centre"
#define IDS_FIG_EDGE_WIDTH 64157
#define S_FIG_EDGE_WIDTH "Edge fit: 10–90 % width"
#define IDS_FIG_EDGE_STEP 64158
#define S_FIG_EDGE_STEP "Edge fit: step"
#define IDS_FIG_EDGE_BASELINE 64159
#define S_FIG_EDGE_BASELINE "Edge fit: baseline"
#define IDS_FIG_EDGE_R2 64160
#define S_FIG_EDGE_R2 "Edge fit: R²"
#define IDS_FIG_RISE 64161
#define S_FIG_RISE "10–90 % rise of the samples"
#define IDS_FIG_ERROR 64162
#define S_FIG_ERROR " SE"
#define IDS_FIG_UNIT 64163
#define S_FIG_UNIT " (%s)"
#define IDS_FIG_NO_FIT 64164
#define S_FIG_NO_FIT "no fit: %s"
#define IDS_FIT_TOO_FEW 64165
#define S_FIT_TOO_FEW "too few samples"
#define IDS_FIT_FLAT 64166
#define S_FIT_FLAT "the samples are flat"
#define IDS_FIT_NO_CONVERGENCE 64167
#define S_FIT_NO_CONVERGENCE "no peak or edge found"
#define IDS_TIP_POSITIONS 64168
#define S_TIP_POSITIONS "; peak at %s; centroid %s"
#define IDS_TIP_DISTANCE 64169
#define S_TIP_DISTANCE " at %s"
#define IDS_COL_DISTANCE 64170
#define S_COL_DISTANCE "Distance"
#define IDS_PICTURE_ERROR 64171
#define S_PICTURE_ERROR "Cannot draw the plot - %s"
#define IDS_PNG_ERROR 64172
#define S_PNG_ERROR "Cannot make the PNG picture - %s"
#define IDS_GDIPLUS_MISSING 64173
#define S_GDIPLUS_MISSING "the system's imaging library (gdiplus.dll) is not there"
#define IDS_GDIPLUS_STATUS 64174
#define S_GDIPLUS_STATUS "the imaging library answered with status %d"
#define IDS_MENU_SAVE_PLOT 64175
#define S_MENU_SAVE_PLOT "Sa&ve plot..."
#define IDS_SAVE_PLOT_NAME 64176
#define S_SAVE_PLOT_NAME "profile.png"
#define IDS_FILTER_PNG 64177
#define S_FILTER_PNG "PNG pictures"
#define IDS_FILTER_SVG 64178
#define S_FILTER_SVG "SVG drawings"
#define IDS_FILTER_EMF 64179
#define S_FILTER_EMF "Enhanced metafiles"
#define IDS_TITLE_LINE 64180
#define S_TITLE_LINE "%s: line from (%d, %d) to (%d, %d), width %d"
#define IDS_TITLE_ROWS 64181
#define S_TITLE_ROWS "%s: sums of rows %d to %d over columns %d to %d"
#define IDS_TITLE_COLUMNS 64182
#define S_TITLE_COLUMNS "%s: sums of columns %d to %d over rows %d to %d"
#define IDS_AXIS_SUM 64183
#define S_AXIS_SUM "Sum"
#define IDS_MENU_SHOW_GRID 64184
#define S_MENU_SHOW_GRID "Show gr&id"
#define IDS_MENU_SHOW_LEGEND 64185
#define S_MENU_SHOW_LEGEND "Show legen&d"
#define IDS_MENU_VALUE_RANGE 64186
#define S_MENU_VALUE_RANGE "Set val&ue range..."
#define IDS_VALUE_RANGE_CAPTION 64187
#define S_VALUE_RANGE_CAPTION "Value range"
#define IDS_VALUE_RANGE_LEAST 64188
#define S_VALUE_RANGE_LEAST "&Least value:"
#define IDS_VALUE_RANGE_GREATEST 64189
#define S_VALUE_RANGE_GREATEST "&Greatest value:"
#define IDS_VALUE_RANGE_BAD 64190
#define S_VALUE_RANGE_BAD "Type two numbers, the least below the greatest."
#define IDS_PNG_SIZE_CAPTION 64191
#define S_PNG_SIZE_CAPTION "Picture size"
#define IDS_PNG_SIZE_WIDTH 64192
#define S_PNG_SIZE_WIDTH "&Width in pixels:"
#define IDS_PNG_SIZE_HEIGHT 64193
#define S_PNG_SIZE_HEIGHT "&Height in pixels:"
#define IDS_PNG_SIZE_RESOLUTION 64194
#define S_PNG_SIZE_RESOLUTION "&Resolution (dpi):"
#define IDS_PNG_SIZE_BAD 64195
#define S_PNG_SIZE_BAD "Type a width and a height of 16 to 8000 pixels and a resolution of 24 to 2400 dots per inch, as whole numbers."
#define IDS_MENU_KEEP_CURVE 64196
#define S_MENU_KEEP_CURVE "Keep curve\tCtrl+K"
#define IDS_MENU_CLEAR_KEPT 64197
#define S_MENU_CLEAR_KEPT "Clear kept curves"
#define IDS_MENU_KEPT_AT_CENTRE 64198
#define S_MENU_KEPT_AT_CENTRE "Align kept curves at t&he centre"
#define IDS_MENU_LOG_SCALE 64199
#define S_MENU_LOG_SCALE "L&og scale"
#define IDS_KEPT_LINE 64200
#define S_KEPT_LINE "%s, %dx%d: line (%d, %d) to (%d, %d)"
#define IDS_KEPT_ROWS 64201
#define S_KEPT_ROWS "%s, %dx%d: rows %d to %d"
#define IDS_KEPT_COLUMNS 64202
#define S_KEPT_COLUMNS "%s, %dx%d: columns %d to %d"
#define IDS_LOG_LEFT_OUT 64203
#define S_LOG_LEFT_OUT "Log scale: %d samples at or below 0 left out"
#define IDS_AXIS_LOG 64204
#define S_AXIS_LOG "%s (log scale)"
#define IDS_AXIS_LOG_LEFT_OUT 64205
#define S_AXIS_LOG_LEFT_OUT "%s (log scale, %d samples at or below 0 left out)"
#define IDS_TIP_KEPT 64206
#define S_TIP_KEPT "%s: %s"
#define IDS_MENU_SHOW_AXES 64124
#define S_MENU_SHOW_AXES "Show &axes"
#define IDS_MENU_SCALE_FROM_ZERO 64108
#define S_MENU_SCALE_FROM_ZERO "Scale from &zero"
#define IDS_MENU_FIT_TO_VALUES 64109
#define S_MENU_FIT_TO_VALUES "&Fit to values"
#define IDS_MENU_SAVE_VALUES 64095
#define S_MENU_SAVE_VALUES "&Save values..."
#define IDS_SAVE_DEFAULT_NAME 64096
#define S_SAVE_DEFAULT_NAME "profile.csv"
#define IDS_SAVE_FILTER_CSV 64097
#define S_SAVE_FILTER_CSV "CSV files"
#define IDS_CLIPBOARD_ERROR 64098
#define S_CLIPBOARD_ERROR "Cannot put the data on the clipboard - %s"
#define IDS_FILE_NAME_UNUSABLE 64099
#define S_FILE_NAME_UNUSABLE "The file name holds characters that this system's code page cannot show; please choose another name"
#define IDS_FILE_DIALOG_ERROR 64101
#define S_FILE_DIALOG_ERROR "The file dialog failed (error %lu)"
#define IDS_ERROR_RENAMING 64100
#define S_ERROR_RENAMING "Error renaming " S_QUOTE "%s" S_QUOTE " to " S_QUOTE "%s" S_QUOTE " - %s"

/* Exception report, version information and mail. */
#define IDS_SEND_BUG_REPORT 64060
#define S_SEND_BUG_REPORT "Send bug report"
#define IDS_TERMINATE_APPLICATION 64061
#define S_TERMINATE_APPLICATION "Terminate application"
#define IDS_INVALID_ACCESS 64062
#define S_INVALID_ACCESS "Invalid access to memory location"
#define IDS_MAIL_ERROR 64063
#define S_MAIL_ERROR "Error while trying to send e-mail"
#define IDS_NO_VERSION_INFO 64064
#define S_NO_VERSION_INFO "No version-info was associated with the requested file " S_QUOTE "%s" S_QUOTE
#define IDS_FIXED_FILE_INFO 64065
#define S_FIXED_FILE_INFO "An error occurred while reading the FixedFileInfo structure from the file."
#define IDS_TRANSLATION_INFO 64066
#define S_TRANSLATION_INFO "An error occurred while reading the language/charset description in the file."
#define IDS_INVALID_INTEGER 64069
#define S_INVALID_INTEGER "'%s' is not a valid integer value"
#define IDS_ACCESS_VIOLATION 64070
#define S_ACCESS_VIOLATION "Access violation at address %08X in module '%s'. %s of address %08X"
#define IDS_READ_ACCESS 64071
#define S_READ_ACCESS "Read"
#define IDS_WRITE_ACCESS 64072
#define S_WRITE_ACCESS "Write"
#define IDS_DIV_BY_ZERO 64073
#define S_DIV_BY_ZERO "Division by zero"
#define IDS_PRIVILEGE 64074
#define S_PRIVILEGE "Privileged instruction"
#define IDS_STACK_OVERFLOW 64075
#define S_STACK_OVERFLOW "Stack overflow.\rThe application will terminate."
#define IDS_EXCEPTION 64076
#define S_EXCEPTION "Exception"
#define IDS_BUG_REPORT_SUBJECT 64077
#define S_BUG_REPORT_SUBJECT "Orvalis Bug report"

#endif
