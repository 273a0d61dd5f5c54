#include "Controllers/ImageProcessor/HCImageProcessor.h"

#include "HAL/IConsoleManager.h"
#include "HCImageProcessorPasses.h"
#include "RenderCommandFence.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "RenderTargetPool.h"
#include "RenderingThread.h"
#include "TextureResource.h"
#include "UObject/UObjectGlobals.h"

#include <thread>

namespace
{
	TAutoConsoleVariable<bool> CVarKeepUnchanged(TEXT("vorpex.TextureEditing.KeepUnchanged"), false,
		TEXT("When on, an image processor whose parameters, inputs and input textures did not change since it last made its result ")
		TEXT("keeps that result instead of running its pass again in the next batch."));

	/** Result revisions are unique across processors, so an input replaced by another never looks unchanged. */
	std::atomic<uint64> NextResultRevision = 1;
}

void HCImageProcessorExecuteContext_GameThread::Execute(UHCImageProcessor* Processor)
{
	Processor->Execute(*this);
	Processor->bExecutedOnGameThread = true;
}

void HCImageProcessorExecuteContext_RenderThread::Execute(UHCImageProcessor* Processor)
{
	Processor->Execute(*this);
	Processor->bExecutedOnRenderThread = true;
}

UHCImageProcessor::UHCImageProcessor()
	: CriticalSection(4000)
{
}

void UHCImageProcessor::Initialize(int32 Width, int32 Height)
{
	CreateResultRenderTarget(FLinearColor(0.0f, 0.0f, 0.0f, 1.0f), Width, Height, RTF_RGBA8);
}

UTextureRenderTarget2D* UHCImageProcessor::GetResultRenderTarget() const
{
	return ResultRenderTarget;
}

void UHCImageProcessor::BeginDestroy()
{
	// Batches and vertex uploads refer to processors by address. Polling instead of Wait keeps
	// a failure of some other command from being raised inside garbage collection.
	FRenderCommandFence Fence;
	Fence.BeginFence();
	while (!Fence.IsFenceComplete())
	{
		std::this_thread::yield();
	}
	Super::BeginDestroy();
}

void UHCImageProcessor::Prepare()
{
	check(ResultRenderTarget);
	bExecutedOnGameThread = false;
	bExecutedOnRenderThread = false;
}

void UHCImageProcessor::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
}

void UHCImageProcessor::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
}

bool UHCImageProcessor::ReuseOrRenewResult(bool bReusable)
{
	TArray<uint64> Sources;
	GetResultSources(Sources);
	if (bReusable && bHasResultSources && CVarKeepUnchanged.GetValueOnRenderThread() && Sources == ResultSources)
	{
		return true;
	}
	ResultSources = std::move(Sources);
	bHasResultSources = true;
	ResultRevision = NextResultRevision++;
	return false;
}

void UHCImageProcessor::GetResultSources(TArray<uint64>& OutSources) const
{
	OutSources.Add(ParameterRevision.load());
}

void UHCImageProcessor::ForgetResultSources()
{
	bHasResultSources = false;
}

void UHCImageProcessor::CreateResultRenderTarget(const FLinearColor& ClearColor, int32 Width, int32 Height, ETextureRenderTargetFormat Format)
{
	UTextureRenderTarget2D* RenderTarget = NewObject<UTextureRenderTarget2D>(this);
	RenderTarget->RenderTargetFormat = Format;
	RenderTarget->ClearColor = ClearColor;
	RenderTarget->InitAutoFormat(Width, Height);
	RenderTarget->UpdateResourceImmediate(true);
	FScopeLock Lock(&CriticalSection);
	ResultRenderTarget = RenderTarget;
	MarkParametersChanged();
}

void UHCImageProcessor::ResetRenderThreadMarks()
{
	bExecutedOnRenderThread = false;
}

FRDGTexture* UHCImageProcessor::CreatePassTexture(FRDGBuilder& GraphBuilder, const TCHAR* Name, FIntPoint Extent, const FClearValueBinding& ClearValue)
{
	const FRDGTextureDesc Desc = FRDGTextureDesc::Create2D(
		Extent, PF_B8G8R8A8, ClearValue, TexCreate_ShaderResource | TexCreate_UAV | TexCreate_RenderTargetable, 1, 1);
	return GraphBuilder.CreateTexture(Desc, Name);
}

FRDGTexture* UHCImageProcessor::FindOrRegisterResultTexture(FRDGBuilder& GraphBuilder, const TCHAR* Name) const
{
	FRHITexture* ResultTexture = ResultRenderTarget->GetRenderTargetResource()->GetRenderTargetTexture();
	return HCImageProcessorPasses::FindOrRegisterExternalTexture(GraphBuilder, ResultTexture, Name);
}

FIntPoint UHCImageProcessor::GetResultSize() const
{
	return FIntPoint(ResultRenderTarget->SizeX, ResultRenderTarget->SizeY);
}

FIntVector UHCImageProcessor::GetResultGroupCount() const
{
	const FIntPoint Size = GetResultSize();
	return FIntVector((Size.X + 7) / 8, (Size.Y + 7) / 8, 1);
}

void UHCDependantImageProcessor::SetDependency(UHCImageProcessor* Processor, int32 Slot)
{
	FScopeLock Lock(&CriticalSection);
	SlotToDependency.Add(Slot, Processor);
	MarkParametersChanged();
}

void UHCDependantImageProcessor::GetResultSources(TArray<uint64>& OutSources) const
{
	Super::GetResultSources(OutSources);
	for (const auto& [Slot, Dependency] : SlotToDependency)
	{
		OutSources.Add(uint64(uint32(Slot)));
		OutSources.Add(Dependency ? Dependency->GetResultRevision() : 0);
	}
}

void UHCDependantImageProcessor::ForgetResultSources()
{
	Super::ForgetResultSources();
	FScopeLock Lock(&CriticalSection);
	ForEachDependency([](UHCImageProcessor& Dependency) { Dependency.ForgetResultSources(); });
}

void UHCDependantImageProcessor::ExecuteSingleInput(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
	check(SlotToDependency.Num() == 1);
	check(SlotToDependency[0]);
	ExecuteDependencies(Context);
}

void UHCDependantImageProcessor::Prepare()
{
	Super::Prepare();
	ForEachDependency([](UHCImageProcessor& Dependency) { Dependency.Prepare(); });
}

void UHCDependantImageProcessor::ResetRenderThreadMarks()
{
	Super::ResetRenderThreadMarks();
	FScopeLock Lock(&CriticalSection);
	ForEachDependency([](UHCImageProcessor& Dependency) { Dependency.ResetRenderThreadMarks(); });
}

template <typename VisitorType>
void UHCDependantImageProcessor::ForEachDependency(VisitorType&& Visit)
{
	for (const auto& [Slot, Dependency] : SlotToDependency)
	{
		if (Dependency)
		{
			Visit(*Dependency);
		}
	}
}

void UHCDependantImageProcessor::ExecuteDependencies(HCImageProcessorExecuteContext_GameThread& Context)
{
	++Context.Depth;
	for (const auto& [Slot, Dependency] : SlotToDependency)
	{
		if (Dependency && !Dependency->bExecutedOnGameThread)
		{
			Context.Execute(Dependency);
		}
	}
	--Context.Depth;
}

void UHCDependantImageProcessor::ExecuteDependencies(HCImageProcessorExecuteContext_RenderThread& Context)
{
	// The inputs are taken under the lock, then executed without it: the render thread holds
	// one processor lock at a time, so it can never wait on a lock the game thread holds while
	// that thread waits for one of its own.
	TArray<UHCImageProcessor*> Dependencies;
	{
		FScopeLock Lock(&CriticalSection);
		for (const auto& [Slot, Dependency] : SlotToDependency)
		{
			Dependencies.Add(Dependency);
		}
	}
	++Context.Depth;
	for (UHCImageProcessor* Dependency : Dependencies)
	{
		if (Dependency && !Dependency->bExecutedOnRenderThread)
		{
			Context.Execute(Dependency);
		}
	}
	--Context.Depth;
}

FRDGTextureSRV* UHCDependantImageProcessor::InputDependencyAsSRV(HCImageProcessorExecuteContext_RenderThread& Context, int32 Slot)
{
	UHCImageProcessor* Dependency = SlotToDependency[Slot];
	FRHITexture* InputTexture = Dependency->ResultRenderTarget->GetRenderTargetResource()->GetRenderTargetTexture();
	FRDGTextureRef InputTextureRef = HCImageProcessorPasses::FindOrRegisterExternalTexture(Context.GraphBuilder, InputTexture, TEXT("Vorpex_shader_CS.Input"));
	return Context.GraphBuilder.CreateSRV(FRDGTextureSRVDesc(InputTextureRef));
}
