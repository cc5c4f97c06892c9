// Dialog layout at a given display scale (LayoutDialogControls uses the process's scale).
#pragma once

#include <tarvox/ui.h>

#include <string>

namespace tarvox::ui {

void LayoutDialogControlsAtScale(CScaledBackground& background, int loadInactive, double scale);

// The position file of a dialog class: "<program folder>\<class name>.ctrlPos".
std::wstring PositionFilePath(const std::wstring& dialogClassName);

}  // namespace tarvox::ui
