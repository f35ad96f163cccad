#pragma once
// Fixture paths of the probe tests.

#include <string>

std::wstring ProbeFixture(const wchar_t* name);
// Known platform gaps are marked by name where the tests meet them.
bool RunningUnderWine();
