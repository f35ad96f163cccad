#include "library/media/tags/Mp4MeanBox.h"

CMp4MeanBox::CMp4MeanBox(const CMp4BoxHeader& header) : CMp4FullBox(header) {}

CMp4MeanBox::CMp4MeanBox(const std::string& mean) : CMp4FullBox(mp4::kMean, mean) {}
