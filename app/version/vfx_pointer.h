// CVFXPointer: owns one heap block of bytes (a version resource being read).
#pragma once

#include "framework/object.h"

class CVFXPointer : public CObject {
  public:
    explicit CVFXPointer(unsigned char* data = nullptr, bool owner = true)
        : m_pData(data), m_bOwner(owner) {}
    CVFXPointer(const CVFXPointer&) = delete;
    CVFXPointer& operator=(const CVFXPointer&) = delete;
    ~CVFXPointer() override {
        if (m_bOwner) delete[] m_pData;
    }

    // Frees the block held now, whatever the owner flag, and holds `data`.
    void Reset(unsigned char* data) {
        delete[] m_pData;
        m_pData = data;
    }
    bool IsNull() const { return m_pData == nullptr; }
    unsigned char* Get() const { return m_pData; }

    const CRuntimeClass* GetRuntimeClass() const override { return &classCVFXPointer; }
    static const CRuntimeClass classCVFXPointer;

    unsigned char* m_pData;
    unsigned char m_bOwner;
};
