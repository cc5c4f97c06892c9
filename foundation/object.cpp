#include <tarvox/object.h>

namespace tarvox {

const CRuntimeClass* CObject::GetThisClass() {
    static const CRuntimeClass record{L"CObject", nullptr};
    return &record;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

int CObject::IsKindOf(const CRuntimeClass* someClass) const {
    return someClass != nullptr && GetRuntimeClass()->IsDerivedFrom(someClass) ? 1 : 0;
}

}  // namespace tarvox
