#include "RenderGraphBuilder.h"

#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "ProfilingDebugging/GPUStat.h"
#include "RenderTargetPool.h"
#include "RenderingThread.h"
#include "ShaderParameterMetadata.h"
#include "Stats/Stats.h"

#include <bit>
#include <cstring>
#include <exception>

DEFINE_LOG_CATEGORY_STATIC(LogRDG, Log, All);

DECLARE_STATS_GROUP(TEXT("Render Graph"), STATGROUP_RDG, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("RDG Execute"), STAT_RDG_Execute, STATGROUP_RDG);

namespace
{
	constexpr ERHIAccess ReadAccesses = ERHIAccess::SRVMask | ERHIAccess::CopySrc;

	bool IsReadOnly(ERHIAccess Access)
	{
		return !EnumHasAnyFlags(Access, ~ReadAccesses);
	}

	template <typename ValueType>
	const ValueType& MemberValue(const void* Parameters, const FShaderParametersMetadata::FMember& Member)
	{
		return *reinterpret_cast<const ValueType*>(static_cast<const uint8*>(Parameters) + Member.GetOffset());
	}

	FIntPoint MipExtent(const FRDGTextureDesc& Desc, uint32 MipIndex)
	{
		return FIntPoint(FMath::Max(Desc.Extent.X >> MipIndex, 1), FMath::Max(Desc.Extent.Y >> MipIndex, 1));
	}

	ERenderTargetActions ToRenderTargetActions(ERenderTargetLoadAction LoadAction)
	{
		switch (LoadAction)
		{
		case ERenderTargetLoadAction::EClear:
			return ERenderTargetActions::Clear_Store;
		case ERenderTargetLoadAction::ELoad:
			return ERenderTargetActions::Load_Store;
		case ERenderTargetLoadAction::ENoAction:
			break;
		}
		return ERenderTargetActions::DontLoad_Store;
	}

	EDepthStencilTargetActions ToDepthStencilTargetActions(ERenderTargetLoadAction LoadAction)
	{
		switch (LoadAction)
		{
		case ERenderTargetLoadAction::EClear: return EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil;
		case ERenderTargetLoadAction::ELoad: return EDepthStencilTargetActions::LoadDepthStencil_StoreDepthStencil;
		default: return EDepthStencilTargetActions::DontLoad_StoreDepthStencil;
		}
	}

	const FRenderTargetBindingSlots* FindRenderTargets(const FRDGPass& Pass)
	{
		if (Pass.GetParameterMetadata() == nullptr)
		{
			return nullptr;
		}
		for (const FShaderParametersMetadata::FMember& Member : Pass.GetParameterMetadata()->GetMembers())
		{
			if (Member.GetBaseType() == UBMT_RENDER_TARGET_BINDING_SLOTS)
			{
				return &MemberValue<FRenderTargetBindingSlots>(Pass.GetParameters(), Member);
			}
		}
		return nullptr;
	}
}

FRDGBuilder::FRDGBuilder(FRHICommandListImmediate& InRHICmdList, FRDGEventName InName)
	: RHICmdList(InRHICmdList)
	, Name(std::move(InName))
{
	checkf(IsInRenderingThread(), TEXT("FRDGBuilder: A render graph is built on the rendering thread only (inside a render command)"));
}

FRDGBuilder::~FRDGBuilder() = default;

FRDGTextureRef FRDGBuilder::CreateTexture(const FRDGTextureDesc& Desc, const TCHAR* TextureName)
{
	const TCHAR* const SafeName = TextureName ? TextureName : TEXT("Unnamed");
	checkf(Desc.Extent.X > 0 && Desc.Extent.Y > 0, TEXT("FRDGBuilder::CreateTexture: '%s' has extent %d x %d; a texture is at least 1 x 1"),
		SafeName, Desc.Extent.X, Desc.Extent.Y);
	checkf(Desc.Format != PF_Unknown, TEXT("FRDGBuilder::CreateTexture: '%s' has no pixel format"), SafeName);
	checkf(Desc.NumMips >= 1, TEXT("FRDGBuilder::CreateTexture: '%s' has no mips"), SafeName);
	Textures.Add(std::unique_ptr<FRDGTexture>(new FRDGTexture(Desc, SafeName, nullptr, false)));
	return Textures.Last().get();
}

FRDGBufferRef FRDGBuilder::CreateBuffer(const FRDGBufferDesc& Desc, const TCHAR* BufferName)
{
	const TCHAR* const SafeName = BufferName ? BufferName : TEXT("Unnamed");
	checkf(Desc.BytesPerElement > 0, TEXT("FRDGBuilder::CreateBuffer: '%s' has elements of 0 bytes"), SafeName);
	FRDGBufferDesc Actual = Desc;
	const bool bEmpty = Desc.NumElements == 0;
	if (bEmpty)
	{
		Actual.NumElements = 1;
	}
	checkf(Actual.GetSize() <= MAX_uint32, TEXT("FRDGBuilder::CreateBuffer: '%s' would hold %llu bytes; a buffer holds at most 4 GiB"), SafeName,
		static_cast<unsigned long long>(Actual.GetSize()));
	Buffers.Add(std::unique_ptr<FRDGBuffer>(new FRDGBuffer(Actual, SafeName)));
	FRDGBuffer* Buffer = Buffers.Last().get();
	Buffer->bZeroFill = bEmpty;
	Buffer->bProduced = bEmpty;
	return Buffer;
}

FRDGTextureRef FRDGBuilder::RegisterExternalTexture(const TRefCountPtr<IPooledRenderTarget>& ExternalPooledTexture, const TCHAR* NameIfNotRegistered)
{
	checkf(ExternalPooledTexture.IsValid() && ExternalPooledTexture->GetRHI() != nullptr,
		TEXT("FRDGBuilder::RegisterExternalTexture: No texture to register as '%s'"), NameIfNotRegistered ? NameIfNotRegistered : TEXT("(unnamed)"));
	FRHITexture* const TextureRHI = ExternalPooledTexture->GetRHI();
	if (FRDGTexture* const* Existing = ExternalTextures.Find(TextureRHI))
	{
		return *Existing;
	}
	Textures.Add(std::unique_ptr<FRDGTexture>(new FRDGTexture(FRDGTextureDesc(TextureRHI->GetDesc()),
		NameIfNotRegistered ? NameIfNotRegistered : TEXT("External"), ExternalPooledTexture, true)));
	FRDGTexture* Texture = Textures.Last().get();
	Texture->bProduced = true;
	ExternalTextures.Add(TextureRHI, Texture);
	return Texture;
}

FRDGTextureRef FRDGBuilder::FindExternalTexture(FRHITexture* Texture) const
{
	FRDGTexture* const* Existing = ExternalTextures.Find(Texture);
	return Existing ? *Existing : nullptr;
}

FRDGTextureRef FRDGBuilder::FindExternalTexture(IPooledRenderTarget* ExternalPooledTexture) const
{
	return ExternalPooledTexture ? FindExternalTexture(ExternalPooledTexture->GetRHI()) : nullptr;
}

FRDGTextureSRVRef FRDGBuilder::CreateSRV(const FRDGTextureSRVDesc& Desc)
{
	checkf(Desc.Texture != nullptr, TEXT("FRDGBuilder::CreateSRV: No texture"));
	checkf(EnumHasAnyFlags(Desc.Texture->Desc.Flags, TexCreate_ShaderResource),
		TEXT("FRDGBuilder::CreateSRV: '%s' was made without TexCreate_ShaderResource, so shaders cannot read it"), Desc.Texture->GetName());
	checkf(Desc.MipLevel < Desc.Texture->Desc.NumMips, TEXT("FRDGBuilder::CreateSRV: '%s' has %d mips; there is no mip %d"), Desc.Texture->GetName(),
		int32(Desc.Texture->Desc.NumMips), int32(Desc.MipLevel));
	TextureSRVs.Add(std::unique_ptr<FRDGTextureSRV>(new FRDGTextureSRV(Desc)));
	return TextureSRVs.Last().get();
}

FRDGTextureUAVRef FRDGBuilder::CreateUAV(const FRDGTextureUAVDesc& Desc)
{
	checkf(Desc.Texture != nullptr, TEXT("FRDGBuilder::CreateUAV: No texture"));
	checkf(EnumHasAnyFlags(Desc.Texture->Desc.Flags, TexCreate_UAV),
		TEXT("FRDGBuilder::CreateUAV: '%s' was made without TexCreate_UAV, so shaders cannot write it"), Desc.Texture->GetName());
	checkf(Desc.MipLevel < Desc.Texture->Desc.NumMips, TEXT("FRDGBuilder::CreateUAV: '%s' has %d mips; there is no mip %d"), Desc.Texture->GetName(),
		int32(Desc.Texture->Desc.NumMips), int32(Desc.MipLevel));
	TextureUAVs.Add(std::unique_ptr<FRDGTextureUAV>(new FRDGTextureUAV(Desc)));
	return TextureUAVs.Last().get();
}

FRDGBufferSRVRef FRDGBuilder::CreateSRV(const FRDGBufferSRVDesc& Desc)
{
	checkf(Desc.Buffer != nullptr, TEXT("FRDGBuilder::CreateSRV: No buffer"));
	BufferSRVs.Add(std::unique_ptr<FRDGBufferSRV>(new FRDGBufferSRV(Desc)));
	return BufferSRVs.Last().get();
}

void FRDGBuilder::QueueBufferUpload(FRDGBufferRef Buffer, const void* InitialData, uint64 InitialDataSize, ERDGInitialDataFlags InitialDataFlags)
{
	checkf(Buffer != nullptr, TEXT("FRDGBuilder::QueueBufferUpload: No buffer"));
	checkf(!bExecuted, TEXT("FRDGBuilder::QueueBufferUpload: The graph has executed; the upload to '%s' would never happen"), Buffer->GetName());
	checkf(InitialData != nullptr || InitialDataSize == 0, TEXT("FRDGBuilder::QueueBufferUpload: No data for the %llu bytes of '%s'"),
		static_cast<unsigned long long>(InitialDataSize), Buffer->GetName());
	checkf(InitialDataSize <= Buffer->Desc.GetSize(), TEXT("FRDGBuilder::QueueBufferUpload: %llu bytes do not fit the %llu bytes of '%s'"),
		static_cast<unsigned long long>(InitialDataSize), static_cast<unsigned long long>(Buffer->Desc.GetSize()), Buffer->GetName());
	checkf(!Buffer->bUploadQueued, TEXT("FRDGBuilder::QueueBufferUpload: '%s' has an upload queued already"), Buffer->GetName());
	if (EnumHasAnyFlags(InitialDataFlags, ERDGInitialDataFlags::NoCopy))
	{
		Buffer->UploadData = InitialData;
	}
	else
	{
		Buffer->UploadCopy.Append(static_cast<const uint8*>(InitialData), int32(InitialDataSize));
	}
	Buffer->UploadSize = InitialDataSize;
	Buffer->bUploadQueued = true;
	Buffer->bProduced = true;
}

bool FRDGBuilder::IsParameterAllocation(const void* Parameters) const
{
	return ParameterAllocations.ContainsByPredicate([Parameters](const FParameterAllocation& Allocation) { return Allocation.get() == Parameters; });
}

FRDGPassRef FRDGBuilder::AddPassInternal(std::unique_ptr<FRDGPass> Pass, bool bHasParameterStruct)
{
	const TCHAR* const PassName = Pass->GetName();
	checkf(!bExecuted, TEXT("FRDGBuilder::AddPass: '%s' is added after the graph executed; it would never run"), PassName);
	if (bHasParameterStruct)
	{
		checkf(Pass->Parameters != nullptr, TEXT("FRDGBuilder::AddPass: '%s' has no parameter struct"), PassName);
		checkf(IsParameterAllocation(Pass->Parameters),
			TEXT("FRDGBuilder::AddPass: The parameter struct of '%s' was not made by this builder's AllocParameters, so it may not live until Execute"),
			PassName);
	}
	const ERDGPassFlags Kinds = Pass->Flags & (ERDGPassFlags::Raster | ERDGPassFlags::Compute | ERDGPassFlags::AsyncCompute | ERDGPassFlags::Copy);
	checkf(std::popcount(uint32(Kinds)) <= 1, TEXT("FRDGBuilder::AddPass: '%s' is flagged as more than one of Raster, Compute, AsyncCompute and Copy"),
		PassName);

	CollectPassResources(*Pass);

	for (const FRDGPass::FTextureAccess& Access : Pass->TextureAccesses)
	{
		if (!IsReadOnly(Access.Access))
		{
			Access.Texture->bProduced = true;
		}
		Access.Texture->LastPassIndex = Passes.Num();
	}
	Pass->EventScopes = EventScopeStack;
	TArray<FString> PathParts = EventScopeStack;
	PathParts.Add(FString(PassName));
	Pass->EventPath = FString::Join(PathParts, TEXT("/"));
	Pass->GPUStat = GPUStatStack.IsEmpty() ? nullptr : GPUStatStack.Last();
	Passes.Add(std::move(Pass));
	return Passes.Last().get();
}

void FRDGBuilder::CollectPassResources(FRDGPass& Pass) const
{
	const TCHAR* const PassName = Pass.GetName();
	const bool bRaster = EnumHasAnyFlags(Pass.Flags, ERDGPassFlags::Raster);
	const ERHIAccess SRVAccess = bRaster ? ERHIAccess::SRVGraphics : ERHIAccess::SRVCompute;
	const ERHIAccess UAVAccess = bRaster ? ERHIAccess::UAVGraphics : ERHIAccess::UAVCompute;

	auto AddTexture = [&Pass, PassName](FRDGTexture* Texture, ERHIAccess Access) {
		if (IsReadOnly(Access))
		{
			checkf(Texture->bProduced, TEXT("FRDGBuilder::AddPass: '%s' reads '%s' before any pass wrote it; its contents would be undefined"),
				PassName, Texture->GetName());
		}
		FRDGPass::FTextureAccess* Existing =
			Pass.TextureAccesses.FindByPredicate([Texture](const FRDGPass::FTextureAccess& Entry) { return Entry.Texture == Texture; });
		if (Existing == nullptr)
		{
			Pass.TextureAccesses.Add({Texture, Access});
			return;
		}
		if (Existing->Access == Access)
		{
			return;
		}
		checkf(IsReadOnly(Existing->Access) && IsReadOnly(Access),
			TEXT("FRDGBuilder::AddPass: '%s' uses '%s' in two ways at once (access %u and %u); a pass may not read and write one texture"),
			PassName, Texture->GetName(), uint32(Existing->Access), uint32(Access));
		Existing->Access |= Access;
	};

	const FShaderParametersMetadata* Metadata = Pass.ParameterMetadata;
	int32 NumRenderTargets = 0;
	if (Metadata != nullptr)
	{
		const void* Parameters = Pass.Parameters;
		for (const FShaderParametersMetadata::FMember& Member : Metadata->GetMembers())
		{
			switch (Member.GetBaseType())
			{
			case UBMT_RDG_TEXTURE:
				if (FRDGTexture* Texture = MemberValue<FRDGTextureRef>(Parameters, Member))
				{
					checkf(EnumHasAnyFlags(Texture->Desc.Flags, TexCreate_ShaderResource),
						TEXT("FRDGBuilder::AddPass: '%s' reads '%s' (member %s), which was made without TexCreate_ShaderResource"), PassName,
						Texture->GetName(), Member.GetName());
					AddTexture(Texture, SRVAccess);
				}
				break;
			case UBMT_RDG_TEXTURE_SRV:
				if (FRDGTextureSRV* View = MemberValue<FRDGTextureSRVRef>(Parameters, Member))
				{
					AddTexture(View->Desc.Texture, SRVAccess);
					Pass.TextureSRVs.AddUnique(View);
				}
				break;
			case UBMT_RDG_TEXTURE_UAV:
				if (FRDGTextureUAV* View = MemberValue<FRDGTextureUAVRef>(Parameters, Member))
				{
					AddTexture(View->Desc.Texture, UAVAccess);
					Pass.TextureUAVs.AddUnique(View);
				}
				break;
			case UBMT_RDG_TEXTURE_ACCESS:
			{
				const FRDGTextureAccess& Access = MemberValue<FRDGTextureAccess>(Parameters, Member);
				if (Access.GetTexture() != nullptr)
				{
					checkf(Access.GetAccess() != ERHIAccess::Unknown, TEXT("FRDGBuilder::AddPass: Member %s of '%s' gives '%s' no access"),
						Member.GetName(), PassName, Access.GetTexture()->GetName());
					AddTexture(Access.GetTexture(), Access.GetAccess());
				}
				break;
			}
			case UBMT_RDG_BUFFER_SRV:
				if (FRDGBufferSRV* View = MemberValue<FRDGBufferSRVRef>(Parameters, Member))
				{
					FRDGBuffer* Buffer = View->Desc.Buffer;
					checkf(Buffer->bProduced, TEXT("FRDGBuilder::AddPass: '%s' reads '%s' before anything filled it; its contents would be undefined"),
						PassName, Buffer->GetName());
					if (!Pass.BufferAccesses.ContainsByPredicate([Buffer](const FRDGPass::FBufferAccess& Entry) { return Entry.Buffer == Buffer; }))
					{
						Pass.BufferAccesses.Add({Buffer, SRVAccess});
					}
					Pass.BufferSRVs.AddUnique(View);
				}
				break;
			case UBMT_RENDER_TARGET_BINDING_SLOTS:
			{
				const FRenderTargetBindingSlots& Slots = MemberValue<FRenderTargetBindingSlots>(Parameters, Member);
				FIntPoint FirstExtent;
				bool bGap = false;
				for (int32 Slot = 0; Slot < FRenderTargetBindingSlots::Num; ++Slot)
				{
					const FRenderTargetBinding& Binding = Slots[Slot];
					FRDGTexture* Texture = Binding.GetTexture();
					if (Texture == nullptr)
					{
						bGap = true;
						continue;
					}
					checkf(!bGap, TEXT("FRDGBuilder::AddPass: '%s' binds '%s' to render target slot %d after an empty slot; bind from slot 0 without gaps"),
						PassName, Texture->GetName(), Slot);
					checkf(bRaster, TEXT("FRDGBuilder::AddPass: '%s' binds render target '%s' but is not an ERDGPassFlags::Raster pass"), PassName,
						Texture->GetName());
					checkf(!Pass.TextureAccesses.ContainsByPredicate([Texture](const FRDGPass::FTextureAccess& Entry) {
						return Entry.Texture == Texture && Entry.Access == ERHIAccess::RTV;
					}),
						TEXT("FRDGBuilder::AddPass: '%s' binds '%s' to more than one render target slot"), PassName, Texture->GetName());
					checkf(EnumHasAnyFlags(Texture->Desc.Flags, TexCreate_RenderTargetable),
						TEXT("FRDGBuilder::AddPass: '%s' renders to '%s', which was made without TexCreate_RenderTargetable"), PassName,
						Texture->GetName());
					checkf(Binding.GetMipIndex() < Texture->Desc.NumMips, TEXT("FRDGBuilder::AddPass: '%s' renders to mip %d of '%s', which has %d mips"),
						PassName, int32(Binding.GetMipIndex()), Texture->GetName(), int32(Texture->Desc.NumMips));
					const FIntPoint Extent = MipExtent(Texture->Desc, Binding.GetMipIndex());
					if (NumRenderTargets == 0)
					{
						FirstExtent = Extent;
					}
					checkf(Extent == FirstExtent, TEXT("FRDGBuilder::AddPass: '%s' renders to '%s' of %d x %d and to a first target of %d x %d"),
						PassName, Texture->GetName(), Extent.X, Extent.Y, FirstExtent.X, FirstExtent.Y);
					checkf(Binding.GetLoadAction() != ERenderTargetLoadAction::EClear
							|| Texture->Desc.ClearValue.ColorBinding == FClearValueBinding::EClearBinding::EColorBound,
						TEXT("FRDGBuilder::AddPass: '%s' clears '%s', whose desc has no clear value (FClearValueBinding)"), PassName,
						Texture->GetName());
					checkf(Binding.GetLoadAction() != ERenderTargetLoadAction::ELoad || Texture->bProduced,
						TEXT("FRDGBuilder::AddPass: '%s' loads render target '%s' before any pass wrote it; its contents would be undefined"),
						PassName, Texture->GetName());
					AddTexture(Texture, ERHIAccess::RTV);
					++NumRenderTargets;
				}
				if (Slots.DepthStencil.GetTexture() != nullptr)
				{
					checkf(NumRenderTargets > 0, TEXT("FRDGBuilder::AddPass: '%s' binds a depth target without a colour target"), PassName);
					CollectDepthStencilTarget(Pass, Slots.DepthStencil, FirstExtent);
					AddTexture(Slots.DepthStencil.GetTexture(), ERHIAccess::DSVWrite);
				}
				break;
			}
			default:
				break;
			}
		}
	}
	checkf(!bRaster || NumRenderTargets > 0, TEXT("FRDGBuilder::AddPass: The raster pass '%s' has no render target in RenderTargets[0]"),
		PassName);
}

void FRDGBuilder::CollectDepthStencilTarget(const FRDGPass& Pass, const FDepthStencilBinding& Binding, FIntPoint ColorExtent) const
{
	const TCHAR* const PassName = Pass.GetName();
	const FRDGTexture* Texture = Binding.GetTexture();
	checkf(EnumHasAnyFlags(Texture->Desc.Flags, TexCreate_DepthStencilTargetable),
		TEXT("FRDGBuilder::AddPass: '%s' tests depth in '%s', which was made without TexCreate_DepthStencilTargetable"), PassName, Texture->GetName());
	checkf(Texture->Desc.Extent == ColorExtent, TEXT("FRDGBuilder::AddPass: '%s' has the depth target '%s' of %d x %d and colour targets of %d x %d"),
		PassName, Texture->GetName(), Texture->Desc.Extent.X, Texture->Desc.Extent.Y, ColorExtent.X, ColorExtent.Y);
	checkf(Binding.GetDepthLoadAction() != ERenderTargetLoadAction::EClear
			|| Texture->Desc.ClearValue.ColorBinding == FClearValueBinding::EClearBinding::EDepthStencilBound,
		TEXT("FRDGBuilder::AddPass: '%s' clears '%s', whose desc has no depth clear value (FClearValueBinding)"), PassName, Texture->GetName());
	checkf(Binding.GetDepthLoadAction() != ERenderTargetLoadAction::ELoad || Texture->bProduced,
		TEXT("FRDGBuilder::AddPass: '%s' loads depth target '%s' before any pass wrote it; its contents would be undefined"), PassName,
		Texture->GetName());
}

TArray<FRDGPassRef> FRDGBuilder::GetPasses() const
{
	TArray<FRDGPassRef> Result;
	for (const std::unique_ptr<FRDGPass>& Pass : Passes)
	{
		Result.Add(Pass.get());
	}
	return Result;
}

void FRDGBuilder::BeginEventScope(FRDGEventName&& ScopeName)
{
	EventScopeStack.Add(ScopeName.ToString());
}

void FRDGBuilder::EndEventScope()
{
	if (!EventScopeStack.IsEmpty())
	{
		EventScopeStack.Pop();
	}
}

void FRDGBuilder::BeginGPUStatScope(FGPUStat& Stat)
{
	GPUStatStack.Add(&Stat);
}

void FRDGBuilder::EndGPUStatScope()
{
	if (!GPUStatStack.IsEmpty())
	{
		GPUStatStack.Pop();
	}
}

void FRDGBuilder::Execute()
{
	checkf(IsInRenderingThread(), TEXT("FRDGBuilder::Execute: A render graph executes on the rendering thread only"));
	checkf(!bExecuted, TEXT("FRDGBuilder::Execute: The graph has executed already; a graph executes once"));
	bExecuted = true;
	SCOPE_CYCLE_COUNTER(STAT_RDG_Execute);

	TArray<FString> OpenLabels;
	try
	{
		ExecuteInternal(OpenLabels);
	}
	catch (...)
	{
		// Leaves the command list as a later command needs it: no open render pass or label, and
		// nothing recorded that refers to textures about to go back to the pool.
		try
		{
			if (RHICmdList.IsInsideRenderPass())
			{
				RHICmdList.EndRenderPass();
			}
			for (int32 Index = 0; Index < OpenLabels.Num(); ++Index)
			{
				RHICmdList.PopEvent();
			}
			RHICmdList.SubmitCommandsAndFlushGPU();
		}
		catch (const std::exception& Cleanup)
		{
			UE_LOG(LogRDG, Error, TEXT("Cleaning up after a failed pass of a render graph failed too: %s"), Cleanup.what());
		}
		ReleaseTransientResources();
		throw;
	}
}

void FRDGBuilder::ExecuteInternal(TArray<FString>& OpenLabels)
{
	UploadBuffers();
	for (int32 PassIndex = 0; PassIndex < Passes.Num(); ++PassIndex)
	{
		const std::unique_ptr<FRDGPass>& Pass = Passes[PassIndex];
		const TArray<FString>& Scopes = Pass->EventScopes;
		int32 Shared = 0;
		while (Shared < OpenLabels.Num() && Shared < Scopes.Num() && OpenLabels[Shared].Equals(Scopes[Shared], ESearchCase::CaseSensitive))
		{
			++Shared;
		}
		while (OpenLabels.Num() > Shared)
		{
			RHICmdList.PopEvent();
			OpenLabels.Pop();
		}
		for (int32 Index = Shared; Index < Scopes.Num(); ++Index)
		{
			RHICmdList.PushEvent(*Scopes[Index]);
			OpenLabels.Add(Scopes[Index]);
		}
		RHICmdList.PushEvent(Pass->GetName());
		OpenLabels.Add(FString(Pass->GetName()));

		ExecutePass(*Pass);
		ReleaseTexturesLastUsedBy(*Pass, PassIndex);

		RHICmdList.PopEvent();
		OpenLabels.Pop();
		if (Pass->GPUStat != nullptr)
		{
			Pass->GPUStat->AddPass();
		}
	}
	while (!OpenLabels.IsEmpty())
	{
		RHICmdList.PopEvent();
		OpenLabels.Pop();
	}
	RHICmdList.SubmitCommandsAndFlushGPU();
	ReleaseTransientResources();
	GRenderTargetPool.TickPoolElements();
}

void FRDGBuilder::UploadBuffers()
{
	for (const std::unique_ptr<FRDGBuffer>& Buffer : Buffers)
	{
		if (!Buffer->bUploadQueued && !Buffer->bZeroFill)
		{
			continue;
		}
		AcquireBuffer(*Buffer);
		const uint32 Size = uint32(Buffer->Desc.GetSize());
		void* Mapped = RHICmdList.LockBuffer(Buffer->RHIBuffer, 0, Size, RLM_WriteOnly);
		std::memset(Mapped, 0, Size);
		if (Buffer->UploadSize > 0)
		{
			const void* Source = Buffer->UploadData ? Buffer->UploadData : Buffer->UploadCopy.GetData();
			std::memcpy(Mapped, Source, Buffer->UploadSize);
		}
		RHICmdList.UnlockBuffer(Buffer->RHIBuffer);
	}
}

void FRDGBuilder::AcquireTexture(FRDGTexture& Texture)
{
	if (!Texture.PooledRenderTarget.IsValid())
	{
		GRenderTargetPool.FindFreeElement(RHICmdList, Texture.Desc, Texture.PooledRenderTarget, Texture.GetName());
	}
}

void FRDGBuilder::AcquireBuffer(FRDGBuffer& Buffer)
{
	if (!Buffer.RHIBuffer.IsValid())
	{
		Buffer.RHIBuffer = RHICmdList.CreateBuffer(uint32(Buffer.Desc.GetSize()), Buffer.Desc.Usage, Buffer.Desc.BytesPerElement, ERHIAccess::Unknown,
			FRHIResourceCreateInfo(Buffer.GetName())).GetReference();
	}
}

void FRDGBuilder::ExecutePass(FRDGPass& Pass)
{
	// The RHI tracks each resource's current access, so "before" is left to it; a transition to
	// the access a resource is in already costs nothing unless that access writes.
	TArray<FRHITransitionInfo> Transitions;
	for (const FRDGPass::FTextureAccess& Access : Pass.TextureAccesses)
	{
		AcquireTexture(*Access.Texture);
		Transitions.Add(FRHITransitionInfo(Access.Texture->GetRHI(), ERHIAccess::Unknown, Access.Access));
	}
	for (const FRDGPass::FBufferAccess& Access : Pass.BufferAccesses)
	{
		AcquireBuffer(*Access.Buffer);
		Transitions.Add(FRHITransitionInfo(Access.Buffer->GetRHI(), ERHIAccess::Unknown, Access.Access));
	}
	if (!Transitions.IsEmpty())
	{
		RHICmdList.Transition(Transitions);
	}

	for (FRDGTextureSRV* View : Pass.TextureSRVs)
	{
		if (!View->RHIView.IsValid())
		{
			View->RHIView = RHICmdList.CreateShaderResourceView(View->Desc.Texture->GetRHI(), View->Desc.MipLevel).GetReference();
		}
	}
	for (FRDGTextureUAV* View : Pass.TextureUAVs)
	{
		if (!View->RHIView.IsValid())
		{
			View->RHIView = RHICmdList.CreateUnorderedAccessView(View->Desc.Texture->GetRHI(), View->Desc.MipLevel).GetReference();
		}
	}
	for (FRDGBufferSRV* View : Pass.BufferSRVs)
	{
		if (!View->RHIView.IsValid())
		{
			View->RHIView = RHICmdList.CreateShaderResourceView(View->Desc.Buffer->GetRHI()).GetReference();
		}
	}

	if (!EnumHasAnyFlags(Pass.Flags, ERDGPassFlags::Raster))
	{
		Pass.ExecuteBody(RHICmdList);
		return;
	}

	const FRenderTargetBindingSlots& Slots = *FindRenderTargets(Pass);
	FRHIRenderPassInfo Info;
	for (int32 Slot = 0; Slot < FRenderTargetBindingSlots::Num && Slots[Slot].GetTexture() != nullptr; ++Slot)
	{
		Info.ColorRenderTargets[Slot].RenderTarget = Slots[Slot].GetTexture()->GetRHI();
		Info.ColorRenderTargets[Slot].MipIndex = Slots[Slot].GetMipIndex();
		Info.ColorRenderTargets[Slot].Action = ToRenderTargetActions(Slots[Slot].GetLoadAction());
	}
	if (const FRDGTexture* DepthTarget = Slots.DepthStencil.GetTexture())
	{
		Info.DepthStencilRenderTarget.DepthStencilTarget = DepthTarget->GetRHI();
		Info.DepthStencilRenderTarget.Action = ToDepthStencilTargetActions(Slots.DepthStencil.GetDepthLoadAction());
	}
	const FIntPoint Extent = MipExtent(Slots[0].GetTexture()->Desc, Slots[0].GetMipIndex());
	RHICmdList.BeginRenderPass(Info, Pass.GetName());
	RHICmdList.SetViewport(0.0f, 0.0f, 0.0f, float(Extent.X), float(Extent.Y), 1.0f);
	Pass.ExecuteBody(RHICmdList);
	RHICmdList.EndRenderPass();
}

void FRDGBuilder::ReleaseTexturesLastUsedBy(const FRDGPass& Pass, int32 PassIndex)
{
	// The pass is recorded; the command buffer keeps its order, and the RHI's access tracking
	// puts a barrier before the texture's next user writes it.
	for (const FRDGPass::FTextureAccess& Access : Pass.TextureAccesses)
	{
		if (!Access.Texture->IsExternal() && Access.Texture->LastPassIndex == PassIndex)
		{
			Access.Texture->PooledRenderTarget.SafeRelease();
		}
	}
}

void FRDGBuilder::ReleaseTransientResources()
{
	for (const std::unique_ptr<FRDGTextureSRV>& View : TextureSRVs)
	{
		View->RHIView.SafeRelease();
	}
	for (const std::unique_ptr<FRDGTextureUAV>& View : TextureUAVs)
	{
		View->RHIView.SafeRelease();
	}
	for (const std::unique_ptr<FRDGBufferSRV>& View : BufferSRVs)
	{
		View->RHIView.SafeRelease();
	}
	for (const std::unique_ptr<FRDGBuffer>& Buffer : Buffers)
	{
		Buffer->RHIBuffer.SafeRelease();
	}
	for (const std::unique_ptr<FRDGTexture>& Texture : Textures)
	{
		if (!Texture->IsExternal())
		{
			Texture->PooledRenderTarget.SafeRelease();
		}
	}
}
