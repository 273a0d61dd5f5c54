#pragma once

// The values the accessors hand out by reference when there is nothing to give.

#include "Containers/Array.h"
#include "Templates/SharedPointer.h"

class FJsonObject;
class FJsonValue;

namespace UE::Json::Private
{
	inline const TArray<TSharedPtr<FJsonValue>>& GetEmptyArray()
	{
		static const TArray<TSharedPtr<FJsonValue>> Empty;
		return Empty;
	}

	inline const TSharedPtr<FJsonObject>& GetNullObject()
	{
		static const TSharedPtr<FJsonObject> Null;
		return Null;
	}
}
