#include "Components/LineBatchComponent.h"

ULineBatchComponent::ULineBatchComponent(const FObjectInitializer& ObjectInitializer)
	: USceneComponent(ObjectInitializer)
{
}

void ULineBatchComponent::DrawLine(const FVector& Start, const FVector& End, const FLinearColor& Color, uint8 DepthPriority, float Thickness,
	float LifeTime)
{
	BatchedLines.Add(FBatchedLine{Start, End, Color, Thickness, LifeTime, DepthPriority});
}

void ULineBatchComponent::DrawLines(const TArray<FBatchedLine>& InLines)
{
	BatchedLines.Append(InLines);
}

void ULineBatchComponent::Flush()
{
	BatchedLines.Empty();
}

void ULineBatchComponent::AgeLines(float DeltaSeconds)
{
	TArray<FBatchedLine> Kept;
	for (FBatchedLine& Line : BatchedLines)
	{
		const bool bHasLifeTime = Line.RemainingLifeTime > 0.0f;
		Line.RemainingLifeTime -= bHasLifeTime ? DeltaSeconds : 0.0f;
		if (bHasLifeTime ? Line.RemainingLifeTime > 0.0f : bPersistent)
		{
			Kept.Add(Line);
		}
	}
	BatchedLines = std::move(Kept);
}
