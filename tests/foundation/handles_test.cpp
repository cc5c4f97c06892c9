// The handle owners and the COM scope.
#include "foundation/com_scope.h"
#include "foundation/unique_handle.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <thread>
#include <utility>

namespace {

using tarvox::ComApartment;
using tarvox::ComBalance;
using tarvox::ComScope;
using tarvox::KernelHandle;

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

// Two events a and b go through one use of owners; afterwards each is open or closed.
struct OwnerRow {
    const char* use;
    void (*run)(HANDLE a, HANDLE b);
    bool aOpen, bOpen;
};

TEST(UniqueHandle, EachHandleIsClosedOnceByItsLastOwner) {
    const OwnerRow rows[] = {
        {"end of scope", [](HANDLE a, HANDLE) { KernelHandle owner(a); }, false, true},
        {"release",
         [](HANDLE a, HANDLE) {
             KernelHandle owner(a);
             owner.Release();
         },
         true, true},
        {"reset to another",
         [](HANDLE a, HANDLE b) {
             KernelHandle owner(a);
             owner.Reset(b);
             EXPECT_EQ(owner.Get(), b);
             owner.Release();
         },
         false, true},
        {"move construction",
         [](HANDLE a, HANDLE) {
             KernelHandle from(a);
             KernelHandle to(std::move(from));
             EXPECT_FALSE(from.Valid());
             to.Release();
         },
         true, true},
        {"move assignment over another",
         [](HANDLE a, HANDLE b) {
             KernelHandle from(a);
             KernelHandle to(b);
             to = std::move(from);
             EXPECT_EQ(to.Get(), a);
             to.Release();
         },
         true, false},
        {"put for an out-parameter",
         [](HANDLE a, HANDLE b) {
             KernelHandle owner(a);
             HANDLE* slot = owner.Put();
             EXPECT_EQ(*slot, nullptr);
             *slot = b;
             EXPECT_EQ(owner.Get(), b);
             owner.Release();
         },
         false, true},
    };
    for (const OwnerRow& row : rows) {
        HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ASSERT_TRUE(a != nullptr && b != nullptr);
        row.run(a, b);
        EXPECT_EQ(IsOpen(a), row.aOpen) << row.use;
        EXPECT_EQ(IsOpen(b), row.bOpen) << row.use;
        for (HANDLE handle : {a, b}) {
            if (IsOpen(handle)) CloseHandle(handle);
        }
    }
}

TEST(UniqueHandle, FileHandlesHoldNeitherMinusOneNorNull) {
    EXPECT_EQ(tarvox::FileHandle().Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(tarvox::FileHandle(nullptr).Valid());
    EXPECT_FALSE(tarvox::FindHandle().Valid());
    EXPECT_EQ(KernelHandle().Get(), nullptr);
}

// On a thread whose COM state is `before` (0: none), one scope; then the thread undoes its own
// initialisation. Recorded: what the scope's initialisation returned and whether the thread is
// still initialised afterwards (the scope left a count behind).
struct ComRow {
    DWORD before;
    ComApartment apartment;
    ComBalance balance;
    HRESULT result;
    bool left;
};

constexpr DWORD kNone = 0xFFFFFFFF;

TEST(ComScope, BalancesByTheRuleItIsGiven) {
    constexpr DWORD sta = COINIT_APARTMENTTHREADED;
    constexpr DWORD mta = COINIT_MULTITHREADED;
    constexpr ComApartment single = ComApartment::SingleThreaded;
    constexpr ComApartment multi = ComApartment::Multithreaded;
    constexpr ComBalance any = ComBalance::AfterSuccess;
    constexpr ComBalance first = ComBalance::AfterFirstInitialisation;
    const ComRow rows[] = {
        {kNone, single, first, S_OK, false},
        {kNone, multi, any, S_OK, false},
        {sta, single, first, S_FALSE, true},
        {sta, single, any, S_FALSE, false},
        {mta, multi, first, S_FALSE, true},
        {mta, multi, any, S_FALSE, false},
        {mta, single, any, RPC_E_CHANGED_MODE, false},
        {sta, multi, any, RPC_E_CHANGED_MODE, false},
    };
    for (const ComRow& row : rows) {
        HRESULT result = E_FAIL;
        bool left = true;
        std::thread([&] {
            const bool own = row.before != kNone && SUCCEEDED(CoInitializeEx(nullptr, row.before));
            {
                const ComScope scope(row.apartment, row.balance);
                result = scope.Result();
            }
            if (own) CoUninitialize();
            const HRESULT probe = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            left = probe != S_OK;
            if (SUCCEEDED(probe)) CoUninitialize();
            if (left) CoUninitialize();
        }).join();
        EXPECT_EQ(result, row.result) << "row " << (&row - rows);
        EXPECT_EQ(left, row.left) << "row " << (&row - rows);
    }
}

}  // namespace
