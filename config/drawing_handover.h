// Handing a configuration's text to the host application, which keeps it in the drawing.
#pragma once

#include <string>
#include <vector>

namespace tarvox {

// The key a configuration is kept under in the drawing: the file name of path without a
// .dat/.def/.cfg/.ini/.txt extension, in upper case ("Settings.cfg" gives "SETTINGS").
std::wstring DrawingKey(const std::wstring& path);

// The lines handed over: neither empty nor comments (first character ';' or '/').
std::vector<std::wstring> DrawingLines(const std::vector<std::wstring>& lines);

// Calls the host's WriteConfigurationToDrawing(key, text), looked up once per process in the
// already loaded TarvoArdent.dll or TarvoApi.dll. 0 when the host function is unavailable.
int WriteToDrawing(const std::wstring& key, const std::wstring& text);

}  // namespace tarvox
