// The root class as the library's classes answer it: class names, kind-of along the base
// chain, and a serialisation that leaves objects and archives alone.
#include <tarvox/full_cfg.h>
#include <tarvox/object.h>

#include "autocad/acad_infos.h"
#include "cuix/cuix_file.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

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
