#include "DrawDebugHelpers.h"

#include "Components/LineBatchComponent.h"
#include "Engine/World.h"

namespace
{
	ULineBatchComponent* GetDebugLineBatcher(const UWorld* InWorld, bool bPersistentLines, float LifeTime)
	{
		if (!InWorld)
		{
			return nullptr;
		}
		return (bPersistentLines || LifeTime > 0.0f) ? InWorld->PersistentLineBatcher.Get() : InWorld->LineBatcher.Get();
	}

	/** Persistent lines without a lifetime stay; the others keep theirs (none: one frame). */
	float GetDebugLineLifeTime(bool bPersistentLines, float LifeTime)
	{
		return (bPersistentLines && LifeTime <= 0.0f) ? 0.0f : FMath::Max(LifeTime, 0.0f);
	}
}

void DrawDebugLine(const UWorld* InWorld, const FVector& LineStart, const FVector& LineEnd, const FColor& Color, bool bPersistentLines,
	float LifeTime, uint8 DepthPriority, float Thickness)
{
	if (ULineBatchComponent* Batcher = GetDebugLineBatcher(InWorld, bPersistentLines, LifeTime))
	{
		Batcher->DrawLine(LineStart, LineEnd, FLinearColor(Color), DepthPriority, Thickness, GetDebugLineLifeTime(bPersistentLines, LifeTime));
	}
}

void DrawDebugSphere(const UWorld* InWorld, const FVector& Center, float Radius, int32 Segments, const FColor& Color, bool bPersistentLines,
	float LifeTime, uint8 DepthPriority, float Thickness)
{
	ULineBatchComponent* Batcher = GetDebugLineBatcher(InWorld, bPersistentLines, LifeTime);
	if (!Batcher)
	{
		return;
	}
	Segments = FMath::Max(Segments, 4);
	const double AngleStep = 2.0 * UE_DOUBLE_PI / Segments;
	const auto PointAt = [&](double Latitude, double Longitude)
	{
		return Center + FVector(FMath::Sin(Latitude) * FMath::Cos(Longitude), FMath::Sin(Latitude) * FMath::Sin(Longitude), FMath::Cos(Latitude)) * Radius;
	};
	const FBatchedLine Template{FVector::ZeroVector, FVector::ZeroVector, FLinearColor(Color), Thickness,
		GetDebugLineLifeTime(bPersistentLines, LifeTime), DepthPriority};
	TArray<FBatchedLine> Lines;
	Lines.Reserve(2 * Segments * Segments);
	// Each cell of the latitude-longitude grid adds its edge along the parallel and its edge
	// along the meridian; going round the full circle twice covers each meridian once.
	for (int32 Row = 0; Row < Segments; ++Row)
	{
		const double Latitude = Row * AngleStep;
		for (int32 Column = 0; Column < Segments; ++Column)
		{
			const double Longitude = Column * AngleStep;
			FBatchedLine Parallel = Template;
			Parallel.Start = PointAt(Latitude, Longitude);
			Parallel.End = PointAt(Latitude, Longitude + AngleStep);
			FBatchedLine Meridian = Template;
			Meridian.Start = Parallel.Start;
			Meridian.End = PointAt(Latitude + AngleStep, Longitude);
			Lines.Add(Parallel);
			Lines.Add(Meridian);
		}
	}
	Batcher->DrawLines(Lines);
}
