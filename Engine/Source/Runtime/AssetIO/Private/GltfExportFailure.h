#pragma once

// Why an export was refused: thrown from wherever the problem is found and caught once per
// export, which then reports it and writes nothing.

#include "CoreMinimal.h"

namespace UE::AssetIO::Private
{
	struct FGltfExportFailure
	{
		FString Reason;
	};

	[[noreturn]] inline void Fail(const FString& Reason)
	{
		throw FGltfExportFailure{Reason};
	}
}
