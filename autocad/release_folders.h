// The implementations behind the per-year folder members.
#pragma once

namespace tarvox::autocad {

// The installation folders of AutoCAD LT, AutoCAD and Architecture of a year (2004 to 2024).
int AcadDirsOfYear(int year, wchar_t* lt, wchar_t* acad, wchar_t* arch);
// Their roaming folders (2007 to 2024).
int AcadRoamableDirsOfYear(int year, wchar_t* lt, wchar_t* acad, wchar_t* arch);

}  // namespace tarvox::autocad
