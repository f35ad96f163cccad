#pragma once
// The update checker's application object: the whole run happens in InitInstance, which returns
// FALSE so that the program ends afterwards.

#include "updater/ostrim/InstanceMutex.h"
#include "updater/ostrim/WinAppMultiLang.h"

class CFennicMini_ApplicationApp : public CWinAppMultiLang {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    CInstanceMutex m_mutex;
    bool m_comInitialized = false;
};
