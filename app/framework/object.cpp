#include "framework/object.h"

const CRuntimeClass CObject::classCObject{"CObject", nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* kind = this; kind != nullptr; kind = kind->m_pBaseClass) {
        if (kind == base) return true;
    }
    return false;
}
