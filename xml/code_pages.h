// The code-page converter of the Windows build: MultiByteToWideChar and WideCharToMultiByte.
#pragma once

#include "xml/text_codec.h"

namespace tarvox {

const CodePageConverter& SystemCodePages();

}  // namespace tarvox
