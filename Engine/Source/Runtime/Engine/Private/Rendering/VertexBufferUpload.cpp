#include "Rendering/VertexBufferUpload.h"

#include <cstring>

namespace UE::Engine::Private
{
	FBufferRHIRef CreateVertexBufferWithData(FRHICommandListImmediate& RHICmdList, const TCHAR* DebugName, const void* Data, uint32 NumBytes)
	{
		if (NumBytes == 0)
		{
			return nullptr;
		}
		check(Data != nullptr);
		const FRHIResourceCreateInfo CreateInfo(DebugName);
		FBufferRHIRef Buffer = RHICmdList.CreateVertexBuffer(NumBytes, BUF_Static | BUF_ShaderResource, CreateInfo);
		void* Destination = RHICmdList.LockBuffer(Buffer, 0, NumBytes, RLM_WriteOnly);
		std::memcpy(Destination, Data, NumBytes);
		RHICmdList.UnlockBuffer(Buffer);
		return Buffer;
	}
}
