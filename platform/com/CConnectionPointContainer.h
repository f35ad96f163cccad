#pragma once
// IConnectionPointContainer for a connectable object: the object derives from this, adds its points
// at construction and answers IUnknown itself.

#include "platform/com/CConnectionPoint.h"

#include <memory>
#include <vector>

class CConnectionPointContainer : public IConnectionPointContainer {
public:
    CConnectionPointContainer() = default;
    virtual ~CConnectionPointContainer() = default;
    CConnectionPointContainer(const CConnectionPointContainer&) = delete;
    CConnectionPointContainer& operator=(const CConnectionPointContainer&) = delete;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** result) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** result) override;

protected:
    // Null when it cannot be allocated.
    CConnectionPoint* AddConnectionPoint(REFIID iid);
    CConnectionPoint* PointOf(REFIID iid) const;

private:
    std::vector<std::unique_ptr<CConnectionPoint>> points_;
};
