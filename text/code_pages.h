// The code-page converter of the Windows build: MultiByteToWideChar and WideCharToMultiByte.
#pragma once

#include "text/text_codec.h"

namespace tarvox {

const CodePageConverter& SystemCodePages();

}  // namespace tarvox
