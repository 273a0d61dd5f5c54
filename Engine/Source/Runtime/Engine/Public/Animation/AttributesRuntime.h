#pragma once

// Custom per-bone attributes that animations can carry beside their bone tracks. Animations
// here have none, so the container a pose is extracted with stays empty.

#include "CoreMinimal.h"

namespace UE::Anim
{
	struct FStackAttributeContainer
	{
	};
}
