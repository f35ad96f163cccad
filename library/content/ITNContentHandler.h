#pragma once

#include <windows.h>

#include <vector>

class CTNContent;

// One stage of the content chain. Handing a content to a handler hands over its ownership: the
// handler passes it to the next stage or deletes it. Keep the operations in this order.
class ITNContentHandler {
public:
    virtual HRESULT Start() = 0;
    virtual HRESULT Stop() = 0;
    virtual void SetNext(ITNContentHandler* next) = 0;
    virtual void PostContent(CTNContent* content) = 0;
    virtual void AddContentVector(const std::vector<CTNContent*>& contents) = 0;
    virtual void AddContents(CTNContent** contents, unsigned count) = 0;
    virtual void Reset() = 0;
    // Counts one content and passes it on.
    virtual void AddContent(CTNContent* content) = 0;
    virtual ~ITNContentHandler() = default;
};
