#include "pages/content/ContentPages.h"
