#pragma once

// The log categories of the scene runtime: meshes, animation, components and the world.

#include "CoreMinimal.h"

ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogSkeletalMesh, Log, All);
ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogAnimation, Log, All);
ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogActorComponent, Log, All);
ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogSceneComponent, Log, All);
ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogPrimitiveComponent, Log, All);
ENGINE_API DECLARE_LOG_CATEGORY_EXTERN(LogWorld, Log, All);
