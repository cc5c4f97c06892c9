// What the native build passes in where the Windows build asks the system. Only the text
// logic is fuzzed: these stand-ins answer as a machine with the main product's default
// edition would.
#include "paths/product_edition.h"

#include <string>

// No edition known: the mapping functions then take their edition-neutral path; the fuzz
// target for names calls the mapping with every edition code itself.
int GetProductEdition(int* edition, std::wstring& productName) {
    if (edition != nullptr) *edition = 0;
    productName.clear();
    return 0;
}
