#include <gtest/gtest.h>

#include "pages/DiagramRecord.h"
