#pragma once

#include "CoreMinimal.h"
#include "RHICommandList.h"
#include "RHIResources.h"

namespace UE::Engine::Private
{
	/**
	 * A static vertex buffer holding a copy of NumBytes from Data (rendering thread); null when
	 * NumBytes is 0, since the RHI makes no empty buffers and an empty stream binds nothing.
	 */
	FBufferRHIRef CreateVertexBufferWithData(FRHICommandListImmediate& RHICmdList, const TCHAR* DebugName, const void* Data, uint32 NumBytes);
}
