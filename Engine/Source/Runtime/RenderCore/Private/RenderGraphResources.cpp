#include "RenderGraphResources.h"

#include "Misc/AssertionMacros.h"

FRHITexture* FRDGTexture::GetRHI() const
{
	checkf(PooledRenderTarget.IsValid(),
		TEXT("FRDGTexture: '%s' has no RHI texture here; a transient texture has one only while its graph executes"), *Name);
	return PooledRenderTarget->GetRHI();
}

FRHIShaderResourceView* FRDGTextureSRV::GetRHI() const
{
	checkf(RHIView.IsValid(), TEXT("FRDGTextureSRV: The view of '%s' is used outside the execution of a pass that declares it"),
		Desc.Texture->GetName());
	return RHIView;
}

FRHIUnorderedAccessView* FRDGTextureUAV::GetRHI() const
{
	checkf(RHIView.IsValid(), TEXT("FRDGTextureUAV: The view of '%s' is used outside the execution of a pass that declares it"),
		Desc.Texture->GetName());
	return RHIView;
}

FRHIBuffer* FRDGBuffer::GetRHI() const
{
	checkf(RHIBuffer.IsValid(), TEXT("FRDGBuffer: '%s' has no RHI buffer here; a transient buffer has one only while its graph executes"),
		*Name);
	return RHIBuffer;
}

FRHIShaderResourceView* FRDGBufferSRV::GetRHI() const
{
	checkf(RHIView.IsValid(), TEXT("FRDGBufferSRV: The view of '%s' is used outside the execution of a pass that declares it"),
		Desc.Buffer->GetName());
	return RHIView;
}
