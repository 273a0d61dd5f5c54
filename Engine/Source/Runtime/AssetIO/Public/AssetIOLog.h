#pragma once

#include "CoreMinimal.h"

/** Why a content file could not be loaded or written: the file and the reason. */
ASSETIO_API DECLARE_LOG_CATEGORY_EXTERN(LogAssetIO, Log, All);
