// The content pages (each now lives in a file of its own).
#pragma once

#include "wizard/LayoutOnlyPage.h"
