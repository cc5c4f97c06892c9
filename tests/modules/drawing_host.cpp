// A stand-in for the main product's host module: it keeps what it was handed for the drawing,
// so that a test can see the key and the text of the last hand-over.
#include <windows.h>

#include <string>

namespace {

std::wstring g_key;
std::wstring g_text;
int g_calls = 0;

}  // namespace

extern "C" __declspec(dllexport) int WriteConfigurationToDrawing(const wchar_t* key,
                                                                 const wchar_t* text) {
    ++g_calls;
    g_key = key != nullptr ? key : L"<null>";
    g_text = text != nullptr ? text : L"<null>";
    return 1;
}

extern "C" __declspec(dllexport) int DrawingCalls() { return g_calls; }
extern "C" __declspec(dllexport) const wchar_t* DrawingKeyHandedOver() { return g_key.c_str(); }
extern "C" __declspec(dllexport) const wchar_t* DrawingTextHandedOver() { return g_text.c_str(); }
