#include "EngineLogs.h"

DEFINE_LOG_CATEGORY(LogSkeletalMesh);
DEFINE_LOG_CATEGORY(LogAnimation);
DEFINE_LOG_CATEGORY(LogActorComponent);
DEFINE_LOG_CATEGORY(LogSceneComponent);
DEFINE_LOG_CATEGORY(LogPrimitiveComponent);
DEFINE_LOG_CATEGORY(LogWorld);
