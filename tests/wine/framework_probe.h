#pragma once
// Resource identifiers of the framework probe, a test program of the window framework.

#define IDD_PROBE_PROGRESS 200
#define IDD_PROBE_SUMMARY 201
#define IDC_PROBE_TEXT 1000
#define IDC_PROBE_PROGRESS 1001
