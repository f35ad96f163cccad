#include "library/media/tags/Mp4NameBox.h"

CMp4NameBox::CMp4NameBox(const CMp4BoxHeader& header) : CMp4FullBox(header) {}

CMp4NameBox::CMp4NameBox(const std::string& name) : CMp4FullBox(mp4::kName, name) {}
