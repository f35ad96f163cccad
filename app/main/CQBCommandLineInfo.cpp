#include "app/main/CQBCommandLineInfo.h"

#include <cwchar>

void CQBCommandLineInfo::ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) {
    CUiCommandLineInfo::ParseParam(param, isFlag, isLast);
    if (isFlag && param && wcscmp(param, L"s") == 0) m_bStartedByDetector = true;
}
