// "mean" of a free-form ("----") item: a full box holding the reverse domain that defines the
// item, as a string without a terminating zero.
#pragma once

#include <string>

#include "library/media/tags/Mp4FullBox.h"

class CMp4MeanBox : public CMp4FullBox {
public:
    explicit CMp4MeanBox(const CMp4BoxHeader& header);
    explicit CMp4MeanBox(const std::string& mean);
};
