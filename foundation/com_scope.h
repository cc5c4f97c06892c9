// COM initialised on the calling thread for the length of a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace tarvox {

// The apartment a scope asks for.
enum class ComApartment {
    SingleThreaded,  // CoInitialize(NULL)
    Multithreaded,   // CoInitializeEx(NULL, COINIT_MULTITHREADED)
};

// When the scope calls CoUninitialize at its end.
enum class ComBalance {
    // Whenever the initialisation succeeded, S_OK or S_FALSE: every successful call is
    // balanced, so the thread is left exactly as it was found.
    AfterSuccess,
    // Only when the initialisation returned S_OK, that is when this scope was the first to
    // initialise COM on the thread; a thread that had COM already keeps its extra count.
    AfterFirstInitialisation,
};

class ComScope {
public:
    ComScope(ComApartment apartment, ComBalance balance) noexcept
        : m_result(apartment == ComApartment::SingleThreaded
                       ? CoInitialize(nullptr)
                       : CoInitializeEx(nullptr, COINIT_MULTITHREADED)),
          m_balance(balance) {}
    ~ComScope() {
        const bool balanced =
            m_balance == ComBalance::AfterSuccess ? SUCCEEDED(m_result) : m_result == S_OK;
        if (balanced) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    // What the initialisation returned.
    HRESULT Result() const noexcept { return m_result; }

private:
    HRESULT m_result;
    ComBalance m_balance;
};

}  // namespace tarvox
