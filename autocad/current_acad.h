// The current product of the selected release and switching the user's current product.
#pragma once

#include <string>

namespace tarvox::autocad {

// The first listed product of CurrentAcadRelease, when it belongs to that release, with its
// current profile key and profile name (the user's current profile, else the machine-wide
// "default"). Returns 1 when any product key exists; the outputs are empty when none belongs
// to the release.
int GetCurrentAcadKeys(std::wstring& productKey, std::wstring& profileKey,
                       std::wstring& profileName);

// Makes a product of CurrentAcadRelease (given by the last component of its key) the one
// AutoCAD starts next for this user, and records its short name as "LastLaunchedProduct".
// Returns 1 when the user's key of the release exists.
int MakeAcadProductCurrent(const wchar_t* productKeyName);

}  // namespace tarvox::autocad
