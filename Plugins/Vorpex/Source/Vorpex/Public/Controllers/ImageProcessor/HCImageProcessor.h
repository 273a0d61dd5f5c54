#pragma once

// Image processors: GPU nodes that each fill one result render target with one render pass,
// reading the results of the processors they depend on. A graph of them runs in batches
// (FHCImageProcessorBatch): a walk on the game thread under each node's lock, then one render
// command that adds every node's pass to one render graph.

#include "CoreMinimal.h"
#include "Engine/TextureRenderTarget2D.h"
#include "HAL/CriticalSection.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include <atomic>

#include "HCImageProcessor.generated.h"

class FRDGBuilder;
class FRDGTexture;
class FRDGTextureSRV;
struct FClearValueBinding;
struct FHCImageProcessorPassNames;
class UHCImageProcessor;

/** What a game-thread walk of a batch carries: how deeply dependency execution is nested. */
struct HCImageProcessorExecuteContext_GameThread
{
	int32 Depth = 0;

	/** Executes Processor for this thread and marks it executed. */
	void Execute(UHCImageProcessor* Processor);
};

/** What the render-thread half of a batch carries: the nesting depth and the batch's render graph. */
struct HCImageProcessorExecuteContext_RenderThread
{
	int32 Depth = 0;
	FRDGBuilder& GraphBuilder;

	explicit HCImageProcessorExecuteContext_RenderThread(FRDGBuilder& InGraphBuilder)
		: GraphBuilder(InGraphBuilder)
	{
	}

	/** Executes Processor for this thread and marks it executed. */
	void Execute(UHCImageProcessor* Processor);
};

/** A GPU node with one result render target. */
UCLASS(Abstract)
class VORPEX_API UHCImageProcessor : public UObject
{
	GENERATED_BODY()

public:
	UHCImageProcessor();

	/** Creates the result: a Width × Height 8-bit RGBA render target cleared to opaque black. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	virtual void Initialize(int32 Width, int32 Height);

	/** The result render target; null before Initialize. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	UTextureRenderTarget2D* GetResultRenderTarget() const;

	bool IsExecutedOnGameThread() const { return bExecutedOnGameThread; }
	/** Waits for the render commands enqueued so far, which may refer to this processor. */
	void BeginDestroy() override;
	bool IsExecutedOnRenderThread() const { return bExecutedOnRenderThread; }

protected:
	/** Clears the executed marks before a batch (game thread); requires Initialize. */
	virtual void Prepare();
	/** Adds this processor's pass to the batch's render graph (render thread). */
	virtual void Execute(HCImageProcessorExecuteContext_RenderThread& Context);
	/** Walks this processor (and its inputs) under its lock before the render pass (game thread). */
	virtual void Execute(HCImageProcessorExecuteContext_GameThread& Context);

	/** Replaces ResultRenderTarget with a new render target of this processor, created and cleared at once. */
	void CreateResultRenderTarget(const FLinearColor& ClearColor, int32 Width, int32 Height, ETextureRenderTargetFormat Format);

	/** Clears the render-thread marks of this processor and everything it reads (render thread). */
	virtual void ResetRenderThreadMarks();

	/**
	 * The compute pass of a processor and the copy of its output into the result, with the
	 * profiling scopes and names of Names, under the lock: BindParameters fills the shader's
	 * parameters but the output. Left out, keeping the result, when ReuseOrRenewResult says so.
	 * Defined in the private HCImageProcessorPasses.h (render thread).
	 */
	template <typename ShaderType, typename BindParametersType>
	void AddComputeAndCopyPasses(FRDGBuilder& GraphBuilder, const FHCImageProcessorPassNames& Names, BindParametersType&& BindParameters);

	/** Records a change of what the pass makes the result from; every setter calls it under the lock. */
	void MarkParametersChanged() { ++ParameterRevision; }
	/**
	 * Render thread, under the lock, after the inputs executed: true when the setting
	 * vorpex.TextureEditing.KeepUnchanged is on, bReusable, and the result was last made from
	 * the same sources (GetResultSources), so this batch's pass can be left out. Otherwise the
	 * sources are remembered for the pass about to be added, which gives the result a new
	 * revision, and false is returned.
	 */
	bool ReuseOrRenewResult(bool bReusable = true);
	/** What the result is made from: the parameters' revision, and what subclasses add (render thread, under the lock). */
	virtual void GetResultSources(TArray<uint64>& OutSources) const;
	/** Forgets the remembered sources of this processor and everything it reads, after a batch failed (render thread). */
	virtual void ForgetResultSources();
	/** Unique across processors; changes whenever a pass is added that makes the result anew (render thread). */
	uint64 GetResultRevision() const { return ResultRevision; }

	/** The pass's transient texture: Extent, 8-bit BGRA, shader resource, unordered access and render targetable. */
	static FRDGTexture* CreatePassTexture(FRDGBuilder& GraphBuilder, const TCHAR* Name, FIntPoint Extent, const FClearValueBinding& ClearValue);
	/** The result render target as a texture of the graph, found or registered under Name. */
	FRDGTexture* FindOrRegisterResultTexture(FRDGBuilder& GraphBuilder, const TCHAR* Name) const;
	/** The result's size. */
	FIntPoint GetResultSize() const;
	/** 8 × 8 thread groups over the result: (SizeX + 7) / 8 × (SizeY + 7) / 8 × 1. */
	FIntVector GetResultGroupCount() const;

	UPROPERTY()
	TObjectPtr<UTextureRenderTarget2D> ResultRenderTarget = nullptr;

	/** Guards the parameters, the inputs and the pass set-up against the game and render threads. */
	FCriticalSection CriticalSection;

	/**
	 * Set once the processor has executed in the current batch on each thread. Atomic because
	 * Prepare, on the game thread, clears them while the render thread may still be running an
	 * earlier batch; that batch reset its own render-thread marks when it began.
	 */
	std::atomic<bool> bExecutedOnGameThread = false;
	std::atomic<bool> bExecutedOnRenderThread = false;

private:
	/** Raised by MarkParametersChanged; atomic because SetOperation writes without the lock. */
	std::atomic<uint64> ParameterRevision = 0;
	/** Render thread only: the sources the result was last made from, and the revision that gave it. */
	TArray<uint64> ResultSources;
	bool bHasResultSources = false;
	uint64 ResultRevision = 0;

	friend struct HCImageProcessorExecuteContext_GameThread;
	friend struct HCImageProcessorExecuteContext_RenderThread;
	friend class FHCImageProcessorBatch;
	friend class UHCDependantImageProcessor;
};

/** A processor that reads the results of other processors, each in a numbered input slot. */
UCLASS(Abstract)
class VORPEX_API UHCDependantImageProcessor : public UHCImageProcessor
{
	GENERATED_BODY()

public:
	/** Reads Processor's result in Slot, replacing the processor already there. */
	void SetDependency(UHCImageProcessor* Processor, int32 Slot);
	/** The inputs by slot, in the order the slots were first set. */
	const TMap<int32, TObjectPtr<UHCImageProcessor>>& GetDependencies() const { return SlotToDependency; }

protected:
	/** Clears the marks, then prepares every input in slot order. */
	void Prepare() override;
	void ResetRenderThreadMarks() override;

	/** Adds every input's result revision, by slot, to the parameters' revision. */
	void GetResultSources(TArray<uint64>& OutSources) const override;
	void ForgetResultSources() override;

	/** The game-thread walk of a processor with one input: under the lock, exactly slot 0 set, then the input. */
	void ExecuteSingleInput(HCImageProcessorExecuteContext_GameThread& Context);
	/** Executes, once per batch and thread, every input not yet executed, in slot order. */
	void ExecuteDependencies(HCImageProcessorExecuteContext_GameThread& Context);
	void ExecuteDependencies(HCImageProcessorExecuteContext_RenderThread& Context);

	/** A shader-resource view of the whole result of the input in Slot, registered with the batch's graph. */
	FRDGTextureSRV* InputDependencyAsSRV(HCImageProcessorExecuteContext_RenderThread& Context, int32 Slot);

	/** The inputs by slot, in the order the slots were first set. */
	UPROPERTY()
	TMap<int32, TObjectPtr<UHCImageProcessor>> SlotToDependency;

private:
	/** Calls Visit on every input, in slot order; the caller holds the lock where it needs one. */
	template <typename VisitorType>
	void ForEachDependency(VisitorType&& Visit);
};
