// "name" of a free-form ("----") item: a full box holding the item's name as a string without a
// terminating zero.
#pragma once

#include <string>

#include "library/media/tags/Mp4FullBox.h"

class CMp4NameBox : public CMp4FullBox {
public:
    explicit CMp4NameBox(const CMp4BoxHeader& header);
    explicit CMp4NameBox(const std::string& name);
};
