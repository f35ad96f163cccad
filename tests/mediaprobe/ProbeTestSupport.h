#pragma once
// Fixture paths of the probe tests.

#include <string>

std::wstring ProbeFixture(const wchar_t* name);
// Whether the tag library has a reader for ASF files in this build.
bool HasAsfTagReader();
// Known platform gaps are marked by name where the tests meet them.
bool RunningUnderWine();
