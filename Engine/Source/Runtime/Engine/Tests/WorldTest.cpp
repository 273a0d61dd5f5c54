#include "Components/SkeletalMeshComponent.h"
#include "Engine/GameViewportClient.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "Logging/LogCapture.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "SceneTestComponents.h"
#include "SceneTestMeshes.h"
#include "UObject/Package.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <gtest/gtest.h>

namespace
{
	class WorldTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			SceneTest::Events().Empty();
			World = UWorld::CreateWorld(EWorldType::Game);
		}

		void TearDown() override
		{
			World->DestroyWorld();
			SceneTest::Events().Empty();
		}

		ASceneTestActor* Spawn(const TCHAR* Name)
		{
			FActorSpawnParameters Parameters;
			Parameters.Name = FName(Name);
			return World->SpawnActor<ASceneTestActor>(Parameters);
		}

		USceneTestRecorderComponent* MakeLoose(const TCHAR* Name)
		{
			return NewObject<USceneTestRecorderComponent>(GetTransientPackage(),
				MakeUniqueObjectName(GetTransientPackage(), USceneTestRecorderComponent::StaticClass(), FName(Name)));
		}

		static TArray<FString> TakeEvents()
		{
			TArray<FString> Taken = SceneTest::Events();
			SceneTest::Events().Empty();
			return Taken;
		}

		UWorld* World = nullptr;
	};
}

TEST_F(WorldTest, PlayBeginsActorByActorThenLooseComponentsAndTicksInRegistrationOrder)
{
	ASceneTestActor* First = Spawn(TEXT("First"));
	ASceneTestActor* Second = Spawn(TEXT("Second"));
	USceneTestRecorderComponent* Loose = MakeLoose(TEXT("Loose"));
	Loose->RegisterComponentWithWorld(World);
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("First.RootComp:OnRegister"), TEXT("First.ChildComp:OnRegister"),
								TEXT("Second.RootComp:OnRegister"), TEXT("Second.ChildComp:OnRegister"), Loose->GetName() + TEXT(":OnRegister")}));
	EXPECT_EQ(First->GetWorld(), World);
	EXPECT_EQ(First->Child->GetAttachParent(), First->GetRootComponent());
	EXPECT_EQ(World->GetActorCount(), 2);

	World->Tick(LEVELTICK_All, 0.1f);
	EXPECT_TRUE(TakeEvents().IsEmpty()) << "nothing ticks before play begins";

	World->BeginPlay();
	EXPECT_TRUE(World->HasBegunPlay());
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("First:BeginPlay"), TEXT("First.RootComp:BeginPlay"), TEXT("First.ChildComp:BeginPlay"),
								TEXT("Second:BeginPlay"), TEXT("Second.RootComp:BeginPlay"), TEXT("Second.ChildComp:BeginPlay"),
								Loose->GetName() + TEXT(":BeginPlay")}));
	World->BeginPlay();
	EXPECT_TRUE(TakeEvents().IsEmpty()) << "play begins once";

	Second->Child->SetComponentTickEnabled(false);
	World->Tick(LEVELTICK_All, 0.25f);
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("First.RootComp:Tick"), TEXT("First.ChildComp:Tick"), TEXT("Second.RootComp:Tick"),
								Loose->GetName() + TEXT(":Tick")}));
	EXPECT_EQ(Loose->LastDeltaTime, 0.25f);
	EXPECT_EQ(Loose->LastTickType, LEVELTICK_All);
	EXPECT_EQ(Loose->LastTickFunction, &Loose->PrimaryComponentTick);
	EXPECT_EQ(Loose->PrimaryComponentTick.Target, Loose);

	World->Tick(LEVELTICK_TimeOnly, 0.5f);
	EXPECT_TRUE(TakeEvents().IsEmpty());
	EXPECT_DOUBLE_EQ(World->GetTimeSeconds(), double(0.1f) + double(0.25f) + double(0.5f));
	EXPECT_EQ(World->GetDeltaSeconds(), 0.5f);
}

TEST_F(WorldTest, LateArrivalsBeginPlayAtOnceAndTickFromTheNextFrame)
{
	World->BeginPlay();
	ASceneTestActor* Late = Spawn(TEXT("Late"));
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Late.RootComp:OnRegister"), TEXT("Late.ChildComp:OnRegister"), TEXT("Late:BeginPlay"),
								TEXT("Late.RootComp:BeginPlay"), TEXT("Late.ChildComp:BeginPlay")}));
	EXPECT_TRUE(Late->HasActorBegunPlay());

	USceneTestRecorderComponent* Newcomer = MakeLoose(TEXT("Newcomer"));
	Late->Child->RegisterOnTick = Newcomer;
	World->Tick(LEVELTICK_All, 0.1f);
	const FString NewcomerName = Newcomer->GetName();
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Late.RootComp:Tick"), TEXT("Late.ChildComp:Tick"), NewcomerName + TEXT(":OnRegister"),
								NewcomerName + TEXT(":BeginPlay")}));
	World->Tick(LEVELTICK_All, 0.1f);
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Late.RootComp:Tick"), TEXT("Late.ChildComp:Tick"), NewcomerName + TEXT(":Tick")}));

	Newcomer->UnregisterComponent();
	EXPECT_FALSE(Newcomer->IsRegistered());
	EXPECT_EQ(Newcomer->GetWorld(), GetTransientPackage()->GetWorld());
	World->Tick(LEVELTICK_All, 0.1f);
	EXPECT_EQ(TakeEvents(), (TArray<FString>{NewcomerName + TEXT(":OnUnregister"), TEXT("Late.RootComp:Tick"), TEXT("Late.ChildComp:Tick")}));
}

TEST_F(WorldTest, RegistrationIsRefusedWhereItCannotWorkAndUndoneWhenOnRegisterFails)
{
	USceneTestRecorderComponent* Component = MakeLoose(TEXT("Refused"));
	UWorld* Other = UWorld::CreateWorld(EWorldType::Game);
	ASceneTestActor* Actor = Spawn(TEXT("Owner"));
	FLogCapture Capture;
	Component->RegisterComponent();
	Component->RegisterComponentWithWorld(nullptr);
	Actor->Child->UnregisterComponent();
	Actor->Child->RegisterComponentWithWorld(Other);
	Component->RegisterComponentWithWorld(World);
	Component->RegisterComponentWithWorld(World);
	Other->DestroyWorld();
	MakeLoose(TEXT("Late"))->RegisterComponentWithWorld(Other);
	const TArray<FString> Warnings = Capture.GetMessages(ELogVerbosity::Warning);
	ASSERT_EQ(Warnings.Num(), 5);
	EXPECT_EQ(Warnings[0], FString::Printf(TEXT("RegisterComponent: (%s) Trying to register a component whose owner is in no world. Aborting."),
							   *Component->GetPathName()));
	EXPECT_EQ(Warnings[1],
		FString::Printf(TEXT("RegisterComponentWithWorld: (%s) Trying to register component with NULL World. Aborting."), *Component->GetPathName()));
	EXPECT_EQ(Warnings[2], FString::Printf(TEXT("RegisterComponentWithWorld: (%s) Trying to register a component with a World its owner is not in. Aborting."),
							   *Actor->Child->GetPathName()));
	EXPECT_EQ(Warnings[3], FString::Printf(TEXT("RegisterComponentWithWorld: (%s) Already registered. Aborting."), *Component->GetPathName()));
	EXPECT_NE(Warnings[4].Find(TEXT("Trying to register component with a destroyed World")), INDEX_NONE);
	EXPECT_FALSE(Actor->Child->IsRegistered());

	USceneTestRecorderComponent* Failing = MakeLoose(TEXT("Failing"));
	Failing->bFailRegistration = true;
	EXPECT_THROW(Failing->RegisterComponentWithWorld(World), FCheckFailure);
	EXPECT_FALSE(Failing->IsRegistered());
	Failing->bFailRegistration = false;
	Failing->RegisterComponentWithWorld(World);
	EXPECT_TRUE(Failing->IsRegistered());
}

TEST_F(WorldTest, RegisteredComponentsAndWhatTheyHoldSurviveCollection)
{
	TWeakObjectPtr<USkeletalMeshComponent> Registered;
	TWeakObjectPtr<USkeletalMeshComponent> Unregistered;
	TWeakObjectPtr<UMaterialInstanceDynamic> Instance;
	TWeakObjectPtr<USkeletalMesh> Mesh;
	TWeakObjectPtr<ASceneTestActor> Actor = Spawn(TEXT("Kept"));
	{
		USkeletalMeshComponent* Component = NewObject<USkeletalMeshComponent>();
		Component->SetSkeletalMeshAsset(SceneTest::MakeTwoBoneMesh());
		Component->RegisterComponentWithWorld(World);
		Instance = Component->CreateAndSetMaterialInstanceDynamic(0);
		Registered = Component;
		Mesh = Component->GetSkeletalMeshAsset();
		Unregistered = NewObject<USkeletalMeshComponent>();
	}
	CollectGarbage();
	EXPECT_TRUE(Registered.IsValid());
	EXPECT_TRUE(Instance.IsValid());
	EXPECT_TRUE(Mesh.IsValid());
	EXPECT_TRUE(Actor.IsValid());
	EXPECT_TRUE(Actor->Child != nullptr);
	EXPECT_FALSE(Unregistered.IsValid());

	Registered->UnregisterComponent();
	CollectGarbage();
	EXPECT_FALSE(Registered.IsValid());
	EXPECT_FALSE(Instance.IsValid());

	TWeakObjectPtr<UWorld> WeakWorld = World;
	World->DestroyWorld();
	CollectGarbage();
	EXPECT_FALSE(WeakWorld.IsValid());
	EXPECT_FALSE(Actor.IsValid());
	World = UWorld::CreateWorld(EWorldType::Game);
}

TEST_F(WorldTest, DestroyingActorsAndWorldsEndsPlayAndUnregisters)
{
	ASceneTestActor* Gone = Spawn(TEXT("Gone"));
	ASceneTestActor* Stays = Spawn(TEXT("Stays"));
	USceneTestRecorderComponent* Loose = MakeLoose(TEXT("Loose"));
	Loose->RegisterComponentWithWorld(World);
	World->BeginPlay();
	TakeEvents();

	EXPECT_TRUE(Gone->Destroy());
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Gone.RootComp:EndPlay"), TEXT("Gone.ChildComp:EndPlay"), TEXT("Gone.ChildComp:OnUnregister"),
								TEXT("Gone.RootComp:OnUnregister")}));
	EXPECT_TRUE(Gone->IsGarbage());
	EXPECT_TRUE(Gone->Child->IsGarbage());
	EXPECT_FALSE(World->DestroyActor(Gone));
	EXPECT_EQ(World->GetActorCount(), 1);

	World->DestroyWorld();
	EXPECT_TRUE(World->IsTearingDown());
	EXPECT_FALSE(World->IsRooted());
	const FString LooseName = Loose->GetName();
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Stays.RootComp:EndPlay"), TEXT("Stays.ChildComp:EndPlay"), LooseName + TEXT(":EndPlay"),
								LooseName + TEXT(":OnUnregister"), TEXT("Stays.ChildComp:OnUnregister"), TEXT("Stays.RootComp:OnUnregister")}));
	EXPECT_FALSE(Stays->GetRootComponent()->IsRegistered());
	EXPECT_THROW(World->Tick(LEVELTICK_All, 0.1f), FCheckFailure);
	FLogCapture Capture;
	EXPECT_EQ(World->SpawnActor<ASceneTestActor>(), nullptr);
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 1);
	World = UWorld::CreateWorld(EWorldType::Game);
}

TEST_F(WorldTest, ActorsAreMovedThroughTheirRootAndListTheirComponents)
{
	const FTransform Placement(FQuat::Identity, FVector(5, 0, 0));
	ASceneTestActor* Actor = World->SpawnActor<ASceneTestActor>(Placement);
	EXPECT_EQ(Actor->GetActorLocation(), FVector(5, 0, 0));
	EXPECT_EQ(Actor->Child->GetComponentLocation(), FVector(5, 0, 0));
	EXPECT_TRUE(Actor->SetActorLocation(FVector(0, 7, 0)));
	EXPECT_EQ(Actor->Child->GetComponentLocation(), FVector(0, 7, 0));
	EXPECT_TRUE(Actor->SetActorTransform(FTransform(FVector(1, 1, 1))));
	EXPECT_EQ(Actor->GetActorTransform().GetTranslation(), FVector(1, 1, 1));

	TArray<UActorComponent*> Components;
	Actor->GetComponents(Components);
	ASSERT_EQ(Components.Num(), 2);
	EXPECT_EQ(Components[0], Actor->GetRootComponent());
	EXPECT_EQ(Components[1], Actor->Child);
	EXPECT_EQ(Actor->FindComponentByClass<USceneTestRecorderComponent>(), Actor->GetRootComponent());
	EXPECT_EQ(Actor->FindComponentByClass<USkeletalMeshComponent>(), nullptr);
	EXPECT_EQ(Actor->Child->GetOwner(), Actor);

	// A component of another actor cannot be the root; losing the root component leaves the actor without a place.
	ASceneTestActor* Other = Spawn(TEXT("Other"));
	FLogCapture Capture;
	EXPECT_FALSE(Actor->SetRootComponent(Other->Child));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 1);
	Actor->GetRootComponent()->DestroyComponent();
	EXPECT_EQ(Actor->GetRootComponent(), nullptr);
	EXPECT_FALSE(Actor->SetActorLocation(FVector(0, 0, 0)));
	EXPECT_EQ(Actor->GetActorTransform().GetTranslation(), FVector(0, 0, 0));
	Actor->GetComponents(Components);
	EXPECT_EQ(Components.Num(), 1);
}

TEST_F(WorldTest, TickRefusesBadTimeStepsAndNesting)
{
	World->BeginPlay();
	EXPECT_THROW(World->Tick(LEVELTICK_All, -0.1f), FCheckFailure);
	EXPECT_THROW(World->Tick(LEVELTICK_All, std::numeric_limits<float>::quiet_NaN()), FCheckFailure);
	EXPECT_EQ(World->GetTimeSeconds(), 0.0);

	ASceneTestActor* Actor = Spawn(TEXT("Nested"));
	TakeEvents();
	Actor->Child->bTickWorldFromTick = true;
	try
	{
		World->Tick(LEVELTICK_All, 0.1f);
		ADD_FAILURE() << "a tick inside a tick ran";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), std::string(*FString::Printf(TEXT("UWorld::Tick of %s called from inside its own tick"), *World->GetName())));
	}
	// The failed tick leaves the world able to tick again.
	Actor->Child->bTickWorldFromTick = false;
	TakeEvents();
	World->Tick(LEVELTICK_All, 0.1f);
	EXPECT_EQ(TakeEvents(), (TArray<FString>{TEXT("Nested.RootComp:Tick"), TEXT("Nested.ChildComp:Tick")}));
}

TEST_F(WorldTest, RenderStateMarkedDirtyIsSentAtTheEndOfTheFrame)
{
	USkeletalMeshComponent* Component = NewObject<USkeletalMeshComponent>();
	Component->MarkRenderStateDirty();
	EXPECT_FALSE(Component->IsRenderStateDirty()) << "an unregistered component has no render state";
	Component->RegisterComponentWithWorld(World);
	Component->MarkRenderStateDirty();
	EXPECT_TRUE(Component->IsRenderStateDirty());
	World->Tick(LEVELTICK_TimeOnly, 0.0f);
	EXPECT_FALSE(Component->IsRenderStateDirty());
}

TEST_F(WorldTest, GameWorldsHaveAViewportWithADpiScale)
{
	UGameViewportClient* Viewport = World->GetGameViewport();
	ASSERT_NE(Viewport, nullptr);
	EXPECT_EQ(Viewport->GetDPIScale(), 1.0f);
	FLogCapture Capture;
	Viewport->SetDPIScale(1.5f);
	Viewport->SetDPIScale(0.0f);
	Viewport->SetDPIScale(std::numeric_limits<float>::infinity());
	Viewport->SetViewportSize(FIntPoint(1920, 1080));
	Viewport->SetViewportSize(FIntPoint(-1, 10));
	EXPECT_EQ(Viewport->GetDPIScale(), 1.5f);
	FVector2D Size;
	Viewport->GetViewportSize(Size);
	EXPECT_EQ(Size, FVector2D(1920, 1080));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 3);

	UWorld* Editor = UWorld::CreateWorld(EWorldType::Editor, false, FName(TEXT("EditorWorld")));
	EXPECT_EQ(Editor->GetGameViewport(), nullptr);
	EXPECT_EQ(Editor->GetFName(), FName(TEXT("EditorWorld")));
	EXPECT_EQ(Editor->GetWorld(), Editor);
	Editor->DestroyWorld();
}
