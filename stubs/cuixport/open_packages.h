// The packages this module has open, by handle, and the copies of their parts.
//
// Each open gives a new handle, so two opens of one file are independent. A part's copy goes
// to a folder of its own for the handle, "CuixPort\<process>-<handle>" under the user's
// temporary folder, and that folder is removed when the handle is closed (or the module is
// unloaded with packages still open).
#pragma once

#include <cstddef>
#include <string>

namespace cuixport {

// 0 when the file cannot be read or is not a ZIP archive with a whole central directory.
long long OpenPackage(const std::wstring& path);

// Closes the package and removes its part copies; unknown handles are ignored.
void ClosePackage(long long handle);

// Writes the named part to its copy and gives that file's path; "" on any failure (unknown
// handle, no such part, a part that does not check out, a path that would not fit resultChars).
std::wstring ExtractPart(long long handle, const std::wstring& partName, std::size_t resultChars);

// Removes the part copies of every package still open; the packages stay open. At the end of
// the process nothing waits for a lock another thread holds.
void RemoveAllCopies(bool processEnding);

}  // namespace cuixport
