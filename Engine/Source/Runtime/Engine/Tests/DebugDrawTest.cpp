#include "Components/LineBatchComponent.h"
#include "DrawDebugHelpers.h"
#include "Engine/World.h"

#include <gtest/gtest.h>

namespace
{
	class DebugDrawTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			World = UWorld::CreateWorld(EWorldType::Game);
			World->BeginPlay();
		}
		void TearDown() override { World->DestroyWorld(); }

		int32 LinesShown() const { return World->LineBatcher->GetLines().Num() + World->PersistentLineBatcher->GetLines().Num(); }

		UWorld* World = nullptr;
	};
}

TEST_F(DebugDrawTest, LinesWithoutLifetimeLastOneTickPersistentOnesStayTimedOnesExpire)
{
	DrawDebugLine(World, FVector(0, 0, 0), FVector(1, 2, 3), FColor::Red);
	DrawDebugLine(World, FVector(0, 0, 0), FVector(0, 0, 1), FColor::Green, true);
	DrawDebugLine(World, FVector(0, 0, 0), FVector(0, 1, 0), FColor::Blue, false, 0.25f, 0, 2.0f);
	ASSERT_EQ(World->LineBatcher->GetLines().Num(), 1);
	const FBatchedLine& Line = World->LineBatcher->GetLines()[0];
	EXPECT_EQ(Line.End, FVector(1, 2, 3));
	EXPECT_EQ(Line.Color, FLinearColor(FColor::Red));
	ASSERT_EQ(World->PersistentLineBatcher->GetLines().Num(), 2);
	EXPECT_EQ(World->PersistentLineBatcher->GetLines()[1].Thickness, 2.0f);

	World->Tick(LEVELTICK_All, 0.2f);
	EXPECT_EQ(World->LineBatcher->GetLines().Num(), 0);
	EXPECT_EQ(World->PersistentLineBatcher->GetLines().Num(), 2);
	World->Tick(LEVELTICK_All, 0.1f);
	ASSERT_EQ(World->PersistentLineBatcher->GetLines().Num(), 1);
	EXPECT_EQ(World->PersistentLineBatcher->GetLines()[0].End, FVector(0, 0, 1));

	World->PersistentLineBatcher->Flush();
	EXPECT_EQ(LinesShown(), 0);
	DrawDebugLine(nullptr, FVector(0, 0, 0), FVector(1, 0, 0), FColor::Red);
	EXPECT_EQ(LinesShown(), 0);
}

TEST_F(DebugDrawTest, SphereIsAClosedWireOfParallelsAndMeridiansOnItsSurface)
{
	const FVector Center(10, -5, 3);
	DrawDebugSphere(World, Center, 5.0f, 12, FColor::Yellow);
	const TArray<FBatchedLine>& Lines = World->LineBatcher->GetLines();
	ASSERT_EQ(Lines.Num(), 2 * 12 * 12);
	double HighestZ = -1e9;
	double LowestZ = 1e9;
	for (const FBatchedLine& SphereLine : Lines)
	{
		EXPECT_NEAR((SphereLine.Start - Center).Size(), 5.0, 1e-9);
		EXPECT_NEAR((SphereLine.End - Center).Size(), 5.0, 1e-9);
		// 12 segments make each edge the chord of a 30-degree arc.
		EXPECT_LE((SphereLine.End - SphereLine.Start).Size(), 2.0 * 5.0 * FMath::Sin(UE_DOUBLE_PI / 12.0) + 1e-9);
		HighestZ = FMath::Max(HighestZ, FMath::Max(SphereLine.Start.Z, SphereLine.End.Z));
		LowestZ = FMath::Min(LowestZ, FMath::Min(SphereLine.Start.Z, SphereLine.End.Z));
	}
	EXPECT_NEAR(HighestZ, Center.Z + 5.0, 1e-9);
	EXPECT_NEAR(LowestZ, Center.Z - 5.0, 1e-9);

	World->LineBatcher->Flush();
	DrawDebugSphere(World, Center, 1.0f, 2, FColor::Yellow, true);
	EXPECT_EQ(World->PersistentLineBatcher->GetLines().Num(), 2 * 4 * 4);
}
