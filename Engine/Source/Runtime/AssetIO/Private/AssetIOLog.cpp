#include "AssetIOLog.h"

DEFINE_LOG_CATEGORY(LogAssetIO);
