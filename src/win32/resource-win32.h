// Resource identifiers of Tarnwick.exe, shared by tarnwick.rc and the window code. Plain
// #defines only: the resource compiler reads this file too.
#ifndef TARNWICK_WIN32_RESOURCE_WIN32_H_
#define TARNWICK_WIN32_RESOURCE_WIN32_H_

// The program icon has the lowest identifier, so the shell shows it for the file.
#define IDI_TARNWICK 1
#define IDI_TICK 101
#define IDI_CROSS 102
#define IDI_HOME 103
#define IDI_INFO 104
#define IDC_HAND_POINTER 110
#define IDB_DONATE 120

#endif  // TARNWICK_WIN32_RESOURCE_WIN32_H_
