#pragma once

#include "Components/SceneComponent.h"
#include "CoreMinimal.h"

#include "LineBatchComponent.generated.h"

/** One debug line in world space. */
struct FBatchedLine
{
	FVector Start = FVector::ZeroVector;
	FVector End = FVector::ZeroVector;
	FLinearColor Color = FLinearColor::White;
	/** Width on screen, in pixels; 0 draws the thinnest line. */
	float Thickness = 0.0f;
	/**
	 * Seconds of world time the line has left. At 0 or below the line lasts one frame in a
	 * batcher that is not persistent and for ever in one that is.
	 */
	float RemainingLifeTime = 0.0f;
	uint8 DepthPriority = 0;
};

/**
 * The debug lines a world shows: drawn by the debug-drawing functions (DrawDebugHelpers.h),
 * aged by the world's ticks and read by whatever renders the world. A world has two batchers:
 * LineBatcher, whose lines without a lifetime last until the next tick, and
 * PersistentLineBatcher, whose lines without a lifetime stay until flushed.
 */
UCLASS()
class ENGINE_API ULineBatchComponent : public USceneComponent
{
	GENERATED_BODY()

public:
	ULineBatchComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	void DrawLine(const FVector& Start, const FVector& End, const FLinearColor& Color, uint8 DepthPriority, float Thickness = 0.0f,
		float LifeTime = 0.0f);
	void DrawLines(const TArray<FBatchedLine>& InLines);
	/** Removes every line. */
	void Flush();

	/**
	 * Ages the lines by DeltaSeconds: a line with a lifetime loses that much and goes when none is
	 * left; a line without one goes unless the batcher is persistent.
	 */
	void AgeLines(float DeltaSeconds);

	const TArray<FBatchedLine>& GetLines() const { return BatchedLines; }

	/** Whether lines without a lifetime stay until flushed. */
	bool bPersistent = false;

private:
	TArray<FBatchedLine> BatchedLines;
};
