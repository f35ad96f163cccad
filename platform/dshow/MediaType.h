#pragma once
// AM_MEDIA_TYPE records: freeing, copying and an owning wrapper.

#include <windows.h>
#include "platform/dshow/DShow.h"

// Frees the format block and the pUnk reference of a record (not the record itself).
void FreeMediaTypeContents(AM_MEDIA_TYPE& type);
// Copies source into target (whose contents must be free); E_OUTOFMEMORY leaves cbFormat 0.
HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);
// A CoTaskMemAlloc'd copy, as enumerators hand out; null when memory runs out.
AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source);
// Frees a record made by CreateMediaTypeCopy (or handed out by a pin's enumerator).
void DeleteMediaTypeRecord(AM_MEDIA_TYPE* type);
// Major type and subtype set and, when given, the format type: no wildcard left.
bool IsMediaTypeFullySpecified(const AM_MEDIA_TYPE& type);
// Whether a full type matches a partly given one (GUID_NULL fields match anything).
bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial);

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    CMediaType(const CMediaType& other);
    explicit CMediaType(const AM_MEDIA_TYPE& other);
    ~CMediaType();
    CMediaType& operator=(const CMediaType& other);
    CMediaType& operator=(const AM_MEDIA_TYPE& other);

    HRESULT Set(const AM_MEDIA_TYPE& other);
    void Clear();
    // Replaces the format block with a copy of the given bytes.
    bool SetFormat(const void* format, ULONG size);
    bool IsValid() const { return !IsEqualGUID(majortype, GUID_NULL); }
};
