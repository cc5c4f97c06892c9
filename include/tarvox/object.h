// The root of the library's classes: every object can name its run-time class, answer whether
// it is of a given class, be deleted through a base pointer and serialise itself.
//
// The classes live in the namespace tarvox so that a caller whose framework has a CObject of its
// own can include both.
#pragma once

#include <tarvox/export.h>

#include <cstddef>
#include <vector>

namespace tarvox {

// One record per class, made once and never changed: the class's name ("CFullCfg") and the
// record of its base class (null for the root). Classes are told apart by the address of their
// record, which the DLL holds once for the whole process.
struct CRuntimeClass {
    const wchar_t* m_ClassName;
    const CRuntimeClass* m_BaseClass;

    // True when this is the class base or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* each = this; each != nullptr; each = each->m_BaseClass) {
            if (each == base) return true;
        }
        return false;
    }
};

// The bytes an object is written to (m_IsStoring 1: appended at the end) or read back from
// (m_IsStoring 0: read from m_Position on, which then moves past what was read).
struct CArchive {
    std::vector<unsigned char> m_Bytes;
    int m_IsStoring = 1;
    std::size_t m_Position = 0;
};

class TARVOX_API CObject {
public:
    // The object's own class; each class with a record of its own overrides this.
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    // Writes or reads the object's state. Objects have nothing to store unless their class says
    // otherwise: this leaves object and archive as they are.
    virtual void Serialize(CArchive& archive);

    // 1 when the object's class is someClass or derives from it, else 0 (also for null).
    int IsKindOf(const CRuntimeClass* someClass) const;

    // The record of this class ("CObject", no base).
    static const CRuntimeClass* GetThisClass();

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

}  // namespace tarvox

// The two members that give a class its own run-time class record. In the class:
//     TARVOX_DECLARE_RUNTIME_CLASS();
// and once in its source file, with the base class whose record is the base record:
//     TARVOX_IMPLEMENT_RUNTIME_CLASS(CFullCfg, CCfgReader)
// The record's name is the class's name as written there.
#define TARVOX_DECLARE_RUNTIME_CLASS()                               \
    const ::tarvox::CRuntimeClass* GetRuntimeClass() const override; \
    static const ::tarvox::CRuntimeClass* GetThisClass()

#define TARVOX_RUNTIME_CLASS_WIDE_(text) L##text
#define TARVOX_RUNTIME_CLASS_WIDE(text) TARVOX_RUNTIME_CLASS_WIDE_(text)
#define TARVOX_IMPLEMENT_RUNTIME_CLASS(Class, Base)                                    \
    const ::tarvox::CRuntimeClass* Class::GetThisClass() {                             \
        static const ::tarvox::CRuntimeClass record{TARVOX_RUNTIME_CLASS_WIDE(#Class), \
                                                    Base::GetThisClass()};             \
        return &record;                                                                \
    }                                                                                  \
    const ::tarvox::CRuntimeClass* Class::GetRuntimeClass() const { return GetThisClass(); }
