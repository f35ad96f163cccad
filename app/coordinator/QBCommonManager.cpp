#include "app/coordinator/QBCommonManager.h"
