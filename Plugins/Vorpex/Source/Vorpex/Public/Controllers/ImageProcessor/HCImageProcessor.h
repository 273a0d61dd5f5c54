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
	UFUNCTION(BlueprintCallable, Category = "Vorpex|ImageProcessor")
	virtual void Initialize(int32 Width, int32 Height);

	/** The result render target; null before Initialize. */
	UFUNCTION(BlueprintCallable, Category = "Vorpex|ImageProcessor")
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

	/** Executes, once per batch and thread, every input not yet executed, in slot order. */
	void ExecuteDependencies(HCImageProcessorExecuteContext_GameThread& Context);
	void ExecuteDependencies(HCImageProcessorExecuteContext_RenderThread& Context);

	/** A shader-resource view of the whole result of the input in Slot, registered with the batch's graph. */
	FRDGTextureSRV* InputDependencyAsSRV(HCImageProcessorExecuteContext_RenderThread& Context, int32 Slot);

	/** The inputs by slot, in the order the slots were first set. */
	UPROPERTY()
	TMap<int32, TObjectPtr<UHCImageProcessor>> SlotToDependency;
};
