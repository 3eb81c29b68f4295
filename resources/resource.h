#pragma once
// Resource identifiers of setup and qlun. Included by the .rc files and the C++ code.

// Shared by the frame, its icon and the document string.
#define IDR_MAINFRAME 128

// Application title (the caption of the application's own message boxes).
#define IDS_APP_TITLE 57344

// setup: dialog templates.
#define IDD_SETUP_FAILED 133
#define IDD_SETUP_COMPLETE 139

// setup: controls of the completion page.
#define IDC_COMPLETE_MESSAGE 1000

// qlun: dialog templates.
#define IDD_REMOVE 102

// qlun: controls of the removal window.
#define IDC_REMOVE_MESSAGE 1000
#define IDC_REMOVE_PROGRESS 1001

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
