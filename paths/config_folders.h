// The per-user configuration folder of each product: environment, the user's product key,
// the installation key, the user's application data, and as a last resort a folder beside the
// library.
#pragma once

namespace tarvox {

enum class Product { Ardent, Veska };

// Writes the folder, with a trailing backslash, into a 260-character buffer (or a static one
// per product when buffer is null) and returns it; "" when not even the last resort exists.
// A folder found in the user's product key is kept in the process environment, so that later
// calls and child processes take it from there.
wchar_t* LocalConfigFolder(wchar_t* buffer, Product product);

}  // namespace tarvox
