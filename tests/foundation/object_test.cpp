// The root class as the library's classes answer it: class names, kind-of along the base
// chain, and a serialisation that leaves objects and archives alone.
#include <tarvox/full_cfg.h>
#include <tarvox/object.h>

#include "autocad/acad_infos.h"
#include "cuix/cuix_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using tarvox::CObject;
using tarvox::CRuntimeClass;

template <class T>
T& As(CObject& object) {
    return static_cast<T&>(object);
}

struct ClassRow {
    const wchar_t* name;  // what the object's run-time class is called
    const CRuntimeClass* ownClass;
    const CRuntimeClass* baseClass;
    const CRuntimeClass* unrelatedClass;             // a class the object is not of
    std::function<std::unique_ptr<CObject>()> make;  // an object with some members set
    std::function<std::wstring(CObject&)> state;     // those members as text
};

TEST(RootClass, EveryClassNamesItselfAndKnowsItsBases) {
    const CRuntimeClass* root = CObject::GetThisClass();
    const CRuntimeClass* infoBase = CAutoCADInfoBase::GetThisClass();
    const ClassRow rows[] = {
        {L"CCfgReader", CCfgReader::GetThisClass(), root, CFullCfg::GetThisClass(),
         [] {
             auto reader = std::make_unique<CCfgReader>();
             reader->Get_m_File() = L"C:\\a.cfg";
             reader->Get_m_Data() = {L"[S]", L"n=1"};
             return reader;
         },
         [](CObject& o) {
             CCfgReader& reader = As<CCfgReader>(o);
             return reader.Get_m_File() + L"|" + reader.Get_m_Data()[0] + reader.Get_m_Data()[1];
         }},
        {L"CFullCfg", CFullCfg::GetThisClass(), root, CCfgReader::GetThisClass(),
         [] {
             auto set = std::make_unique<CFullCfg>();
             set->IsInit() = 1;
             set->Get_m_cfgFile() = L"Tarvo Ardent.cfg";
             set->m_Names = {L"user"};
             set->m_Objects = {nullptr};
             return set;
         },
         [](CObject& o) {
             CFullCfg& set = As<CFullCfg>(o);
             return std::to_wstring(set.IsInit()) + set.Get_m_cfgFile() + set.m_Names[0] +
                    std::to_wstring(set.m_Objects.size());
         }},
        // A base object is not of its derived classes.
        {L"CAutoCADInfoBase", infoBase, root, CAutoCADInfo::GetThisClass(),
         [] {
             auto base = std::make_unique<CAutoCADInfoBase>();
             base->m_Name = L"name";
             return base;
         },
         [](CObject& o) { return As<CAutoCADInfoBase>(o).m_Name; }},
        {L"CAutoCADInfo", CAutoCADInfo::GetThisClass(), infoBase, CAutoCADProfile::GetThisClass(),
         [] {
             auto info = std::make_unique<CAutoCADInfo>();
             info->m_ProductKeyName = L"ACAD-3001:409";
             info->m_AddOnState = 1;
             CAutoCADProfile profile;
             profile.m_Name = L"Tarvo";
             info->m_Profiles.Add(profile);
             return info;
         },
         [](CObject& o) {
             CAutoCADInfo& info = As<CAutoCADInfo>(o);
             return info.m_ProductKeyName + std::to_wstring(info.m_AddOnState) +
                    info.m_Profiles[0].m_Name;
         }},
        {L"CAutoCADProfile", CAutoCADProfile::GetThisClass(), infoBase, CWorkSpace::GetThisClass(),
         [] {
             auto profile = std::make_unique<CAutoCADProfile>();
             profile->m_MenuFile = L"C:\\acad.cuix";
             profile->m_WorkSpaces.Add(CWorkSpace(L"Drafting"));
             return profile;
         },
         [](CObject& o) {
             CAutoCADProfile& profile = As<CAutoCADProfile>(o);
             return profile.m_MenuFile + profile.m_WorkSpaces[0].m_Name;
         }},
        {L"CWorkSpace", CWorkSpace::GetThisClass(), infoBase, CCfgReader::GetThisClass(),
         [] { return std::make_unique<CWorkSpace>(L"Tarvo Ardent"); },
         [](CObject& o) { return As<CWorkSpace>(o).m_Name; }},
        {L"_CCuixFile", _CCuixFile::GetThisClass(), root, CAutoCADInfoBase::GetThisClass(),
         [] {
             auto file = std::make_unique<_CCuixFile>(L"C:\\a.cuix");
             file->m_IsShared = 1;
             return file;
         },
         [](CObject& o) {
             _CCuixFile& file = As<_CCuixFile>(o);
             return file.m_Path + std::to_wstring(file.m_IsShared);
         }},
        // The read-only package has no class of its own.
        {L"_CCuixFile", _CCuixFile::GetThisClass(), root, CWorkSpace::GetThisClass(),
         [] { return std::make_unique<_CReadOnlyCuixFile>(); },
         [](CObject& o) { return As<_CCuixFile>(o).m_Path; }},
    };
    for (const ClassRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<CObject> object = row.make();
        const CRuntimeClass* runtimeClass = object->GetRuntimeClass();
        EXPECT_STREQ(runtimeClass->m_ClassName, row.name);
        EXPECT_EQ(runtimeClass, row.ownClass);
        EXPECT_EQ(runtimeClass->m_BaseClass, row.baseClass);
        EXPECT_EQ(object->IsKindOf(row.ownClass), 1);
        EXPECT_EQ(object->IsKindOf(row.baseClass), 1);
        EXPECT_EQ(object->IsKindOf(root), 1);
        EXPECT_EQ(object->IsKindOf(row.unrelatedClass), 0);
        EXPECT_EQ(object->IsKindOf(nullptr), 0);

        const std::wstring before = row.state(*object);
        for (const int storing : {1, 0}) {
            tarvox::CArchive archive{{1, 2, 3}, storing, 1};
            object->Serialize(archive);
            EXPECT_EQ(row.state(*object), before);
            EXPECT_EQ(archive.m_Bytes, (std::vector<unsigned char>{1, 2, 3}));
            EXPECT_EQ(archive.m_Position, 1u);
        }
    }
    EXPECT_STREQ(root->m_ClassName, L"CObject");
    EXPECT_EQ(root->m_BaseClass, nullptr);
}

}  // namespace
