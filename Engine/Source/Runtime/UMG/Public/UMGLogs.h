#pragma once

#include "CoreMinimal.h"

/** Widget creation, layouts and bound widgets. */
UMG_API DECLARE_LOG_CATEGORY_EXTERN(LogUMG, Log, All);
