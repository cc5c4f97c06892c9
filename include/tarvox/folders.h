// Folders of the family's products: the installation (central) folder, the per-user folder and
// the per-user configuration folder of the main product Ardent and the second product Veska.
//
// Every function takes a buffer of 260 wide characters, or null: it then writes into a static
// buffer of its own that its next call overwrites. The buffer is emptied first and returned;
// an empty string means that the folder was not found.
#pragma once

#include <tarvox/export.h>

// Installation folder of Ardent for the library's product year (2020).
TARVOX_API wchar_t* GetCentralAppDir(wchar_t* buffer);
// Installation folder of Ardent (2017 and later) or of the older Zenit line (earlier years).
TARVOX_API wchar_t* GetCentralAppDir(wchar_t* buffer, long long year);
// Installation folder of Veska of a year.
TARVOX_API wchar_t* GetCentralRAppDir(wchar_t* buffer, long long year);

// Per-user folder of Ardent; without a product key the default below %AppData%.
TARVOX_API wchar_t* GetLocalAppDir(wchar_t* buffer);
TARVOX_API wchar_t* GetLocalAppDir(wchar_t* buffer, long long year);
// Per-user folder of Veska; without a product key the default below %AppData%.
TARVOX_API wchar_t* GetLocalRAppDir(wchar_t* buffer);
TARVOX_API wchar_t* GetLocalRAppDir(wchar_t* buffer, long long year);

// Per-user configuration folder of Ardent, and of Veska, ending in a backslash.
TARVOX_API wchar_t* GetLocalConfigDir(wchar_t* buffer);
TARVOX_API wchar_t* GetLocalRConfigDir(wchar_t* buffer);

// The folder stored under name in section "Ordner" of the user's folder list file
// (GetLocalConfigDir + "Ordner.ini"), read through the CfgKern module; "" when not found.
TARVOX_API wchar_t* GetDirValue(const wchar_t* name, wchar_t* buffer);
