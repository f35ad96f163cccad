#include "app/mainframe/MainFrame.h"

#include <gtest/gtest.h>
