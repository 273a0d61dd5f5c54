#include "UMGLogs.h"

DEFINE_LOG_CATEGORY(LogUMG);
