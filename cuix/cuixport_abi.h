// The exports table of the CuixPort module as the library calls it: the slots, their
// functions and the size of the result buffer. Shared by the module and its callers.
#pragma once

#include <cstddef>

namespace tarvox::cuixport {

// Slot 1: opens the package at a path (null-terminated wide string). The handle names the
// open package in the other slots; 0 when the package cannot be opened.
inline constexpr int kOpenPackageSlot = 1;
using OpenPackageFunction = long long (*)(const wchar_t* path);

// Slot 2: closes the package whose handle is at the address given and sets the handle to 0.
inline constexpr int kClosePackageSlot = 2;
using ClosePackageFunction = void (*)(long long* handle);

// Slot 6: writes one named part (such as "WorkspaceRoot.cui") of an open package to a file.
// Nonzero on success, with that file's path in result (kPartPathChars wide characters);
// 0 on failure, with result empty.
inline constexpr int kExtractPartSlot = 6;
using ExtractPartFunction = int (*)(long long handle, const wchar_t* partName, wchar_t* result);

inline constexpr std::size_t kPartPathChars = 260;

}  // namespace tarvox::cuixport
