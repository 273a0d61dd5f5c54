#pragma once

#include "UObject/Class.h"

namespace UE::CoreUObject::Private
{
	/**
	 * Allocates Size bytes aligned to Alignment and runs Constructor with an initializer that
	 * names the new object; frees the memory again if construction throws.
	 */
	UObject* ConstructObject(UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags, int32 Size, int32 Alignment,
		UClass::FClassConstructor Constructor);
}
