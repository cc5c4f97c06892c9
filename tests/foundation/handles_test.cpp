// The handle owners, the COM scope, and the root class as the library's classes answer it:
// class names, kind-of along the base chain, and a serialisation that leaves objects and
// archives alone.
#include <tarvox/full_cfg.h>
#include <tarvox/object.h>

#include "autocad/acad_infos.h"
#include "cuix/cuix_file.h"
#include "foundation/com_scope.h"
#include "foundation/unique_handle.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
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

// Two fresh events a and b go through one use of owners; afterwards each is open or closed.
void Use(const char* use, bool aOpen, bool bOpen, void (*run)(HANDLE a, HANDLE b)) {
    HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(a != nullptr && b != nullptr);
    run(a, b);
    EXPECT_EQ(IsOpen(a), aOpen) << use;
    EXPECT_EQ(IsOpen(b), bOpen) << use;
    for (HANDLE handle : {a, b}) {
        if (IsOpen(handle)) CloseHandle(handle);
    }
}

TEST(UniqueHandle, EachHandleIsClosedOnceByItsLastOwner) {
    Use("end of scope", false, true, [](HANDLE a, HANDLE) { KernelHandle owner(a); });
    Use("release", true, true, [](HANDLE a, HANDLE) { EXPECT_EQ(KernelHandle(a).Release(), a); });
    Use("reset to another", false, true, [](HANDLE a, HANDLE b) {
        KernelHandle owner(a);
        owner.Reset(b);
        EXPECT_EQ(owner.Release(), b);
    });
    Use("move construction", true, true, [](HANDLE a, HANDLE) {
        KernelHandle from(a);
        KernelHandle to(std::move(from));
        EXPECT_FALSE(from.Valid());
        to.Release();
    });
    Use("move assignment over another", true, false, [](HANDLE a, HANDLE b) {
        KernelHandle from(a), to(b);
        to = std::move(from);
        EXPECT_EQ(to.Release(), a);
    });
    Use("put for an out-parameter", false, true, [](HANDLE a, HANDLE b) {
        KernelHandle owner(a);
        HANDLE* slot = owner.Put();
        EXPECT_EQ(*slot, nullptr);
        *slot = b;
        EXPECT_EQ(owner.Release(), b);
    });
}

TEST(UniqueHandle, FileHandlesHoldNeitherMinusOneNorNull) {
    EXPECT_EQ(tarvox::FileHandle().Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(tarvox::FileHandle(nullptr).Valid());
    EXPECT_FALSE(tarvox::FindHandle().Valid());
    EXPECT_EQ(KernelHandle().Get(), nullptr);
}

// On a thread whose COM state is `before` (kNone: none), one scope; then the thread undoes its own
// initialisation. Recorded: what the scope's initialisation returned and whether the thread is
// still initialised afterwards (the scope left a count behind).
TEST(ComScope, BalancesByTheRuleItIsGiven) {
    constexpr DWORD kNone = 0xFFFFFFFF, sta = COINIT_APARTMENTTHREADED, mta = COINIT_MULTITHREADED;
    constexpr ComApartment single = ComApartment::SingleThreaded,
                           multi = ComApartment::Multithreaded;
    constexpr ComBalance any = ComBalance::AfterSuccess,
                         first = ComBalance::AfterFirstInitialisation;
    const struct ComRow {
        DWORD before;
        ComApartment apartment;
        ComBalance balance;
        HRESULT result;
        bool left;
    } rows[] = {{kNone, single, first, S_OK, false},
                {kNone, multi, any, S_OK, false},
                {sta, single, first, S_FALSE, true},
                {sta, single, any, S_FALSE, false},
                {mta, multi, first, S_FALSE, true},
                {mta, multi, any, S_FALSE, false},
                {mta, single, any, RPC_E_CHANGED_MODE, false},
                {sta, multi, any, RPC_E_CHANGED_MODE, false}};
    for (const ComRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
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
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(left, row.left);
    }
}

using tarvox::CObject;
using tarvox::CRuntimeClass;

TEST(RootClass, EveryClassNamesItselfAndKnowsItsBases) {
    const CRuntimeClass* root = CObject::GetThisClass();
    const CRuntimeClass* infoBase = CAutoCADInfoBase::GetThisClass();
    const struct ClassRow {
        const wchar_t* name;  // what the object's run-time class is called
        const CRuntimeClass *ownClass, *baseClass, *unrelatedClass;  // unrelated: not the object's
        std::shared_ptr<CObject> object;
    } rows[] = {
        {L"CCfgReader", CCfgReader::GetThisClass(), root, CFullCfg::GetThisClass(),
         std::make_shared<CCfgReader>()},
        {L"CFullCfg", CFullCfg::GetThisClass(), root, CCfgReader::GetThisClass(),
         std::make_shared<CFullCfg>()},
        // A base object is not of its derived classes.
        {L"CAutoCADInfoBase", infoBase, root, CAutoCADInfo::GetThisClass(),
         std::make_shared<CAutoCADInfoBase>()},
        {L"CAutoCADInfo", CAutoCADInfo::GetThisClass(), infoBase, CAutoCADProfile::GetThisClass(),
         std::make_shared<CAutoCADInfo>()},
        {L"CAutoCADProfile", CAutoCADProfile::GetThisClass(), infoBase, CWorkSpace::GetThisClass(),
         std::make_shared<CAutoCADProfile>()},
        {L"CWorkSpace", CWorkSpace::GetThisClass(), infoBase, CCfgReader::GetThisClass(),
         std::make_shared<CWorkSpace>(L"Tarvo Ardent")},
        {L"_CCuixFile", _CCuixFile::GetThisClass(), root, CAutoCADInfoBase::GetThisClass(),
         std::make_shared<_CCuixFile>(L"C:\\a.cuix")},
        // The read-only package has no class of its own.
        {L"_CCuixFile", _CCuixFile::GetThisClass(), root, CWorkSpace::GetThisClass(),
         std::make_shared<_CReadOnlyCuixFile>()},
    };
    for (const ClassRow& row : rows) {
        SCOPED_TRACE(row.name);
        CObject* object = row.object.get();
        const CRuntimeClass* runtimeClass = object->GetRuntimeClass();
        EXPECT_STREQ(runtimeClass->m_ClassName, row.name);
        EXPECT_EQ(runtimeClass, row.ownClass);
        EXPECT_EQ(runtimeClass->m_BaseClass, row.baseClass);
        for (const CRuntimeClass* kind : {row.ownClass, row.baseClass, root})
            EXPECT_EQ(object->IsKindOf(kind), 1);
        EXPECT_EQ(object->IsKindOf(row.unrelatedClass), 0);
        EXPECT_EQ(object->IsKindOf(nullptr), 0);
    }
    EXPECT_STREQ(root->m_ClassName, L"CObject");
    EXPECT_EQ(root->m_BaseClass, nullptr);

    // No class has an archive format of its own: serialising leaves object and archive alone.
    CWorkSpace workspace(L"Drafting");
    for (const int storing : {1, 0}) {
        tarvox::CArchive archive{{1, 2, 3}, storing, 1};
        static_cast<CObject&>(workspace).Serialize(archive);
        EXPECT_EQ(workspace.m_Name, L"Drafting");
        EXPECT_EQ(archive.m_Bytes, (std::vector<unsigned char>{1, 2, 3}));
        EXPECT_EQ(archive.m_Position, 1u);
    }
}

}  // namespace
