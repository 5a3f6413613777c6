// The root class of the layer's plain objects and the run-time class record
// that names a class and its base, so code can ask what an object is.
#pragma once

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
  public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* kind) const {
        return GetRuntimeClass()->IsDerivedFrom(kind);
    }

    static const CRuntimeClass classCObject;
};
