// The running edition of the main product, settled once per process.
#pragma once

#include <string>

// 1 when an edition is known: its code (1 Zenit, 2 Zenit+, 3 Luminor, 4 Ardent, 5 CAD) and
// product name text. 0 otherwise; the outputs then hold 0 and "".
int GetProductEdition(int* edition, std::wstring& productName);

// 1 when the full Ardent edition is in use.
int IsArdentEdition();

// 1 when the Luminor edition is in use; productFlags (may be null) receives the product flags
// of the running setup program, 1 by default.
int IsLuminorEdition(int* productFlags);
