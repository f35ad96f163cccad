#pragma once

#include <string>

// Replaces, in place, every character of the podcast list writer's fixed table by its character
// reference (mostly decimal numeric, a few named, some Windows-1252 numbers); every other
// character is kept. A replacement is never looked up again, so "&amp;" becomes "&#38;amp;".
void EncodeCharacterReferences(std::wstring* text);
