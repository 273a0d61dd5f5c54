#include "Engine/World.h"

#include "Components/ActorComponent.h"
#include "Components/LineBatchComponent.h"
#include "Components/SceneComponent.h"
#include "Engine/GameViewportClient.h"
#include "EngineLogs.h"
#include "GameFramework/Actor.h"
#include "UObject/Package.h"

UWorld* UWorld::CreateWorld(const EWorldType::Type InWorldType, bool bInformEngineOfWorld, FName WorldName, UPackage* InWorldPackage,
	bool bAddToRoot)
{
	UObject* Outer = InWorldPackage ? static_cast<UObject*>(InWorldPackage) : GetTransientPackage();
	const FName Name = WorldName.IsNone() ? MakeUniqueObjectName(Outer, StaticClass(), FName(TEXT("World"))) : WorldName;
	UWorld* World = NewObject<UWorld>(Outer, Name);
	World->WorldType = InWorldType;
	World->LineBatcher = NewObject<ULineBatchComponent>(World, FName(TEXT("LineBatcher")));
	World->PersistentLineBatcher = NewObject<ULineBatchComponent>(World, FName(TEXT("PersistentLineBatcher")));
	World->PersistentLineBatcher->bPersistent = true;
	if (InWorldType == EWorldType::Game || InWorldType == EWorldType::PIE)
	{
		World->GameViewport = NewObject<UGameViewportClient>(World);
	}
	if (bAddToRoot)
	{
		World->AddToRoot();
	}
	return World;
}

void UWorld::DestroyWorld(bool bInformEngineOfWorld)
{
	if (bIsTearingDown)
	{
		return;
	}
	bIsTearingDown = true;
	for (AActor* Actor : TArray<TObjectPtr<AActor>>(Actors))
	{
		if (Actor && Actor->bActorHasBegunPlay)
		{
			Actor->bActorHasBegunPlay = false;
			Actor->EndPlay(EEndPlayReason::RemovedFromWorld);
		}
	}
	const TArray<TObjectPtr<UActorComponent>> Components = RegisteredComponents;
	for (UActorComponent* Component : Components)
	{
		if (Component)
		{
			Component->ConditionalEndPlay(EEndPlayReason::RemovedFromWorld);
		}
	}
	for (int32 Index = Components.Num() - 1; Index >= 0; --Index)
	{
		if (Components[Index])
		{
			Components[Index]->UnregisterComponent();
		}
	}
	Actors.Empty();
	RegisteredComponents.Empty();
	bBegunPlay = false;
	if (IsRooted())
	{
		RemoveFromRoot();
	}
}

AActor* UWorld::SpawnActor(UClass* Class, const FTransform* Transform, const FActorSpawnParameters& SpawnParameters)
{
	checkf(Class && Class->IsChildOf(AActor::StaticClass()), TEXT("SpawnActor: %s is not an actor class"), Class ? *Class->GetName() : TEXT("null"));
	if (bIsTearingDown)
	{
		UE_LOG(LogWorld, Warning, TEXT("SpawnActor: %s is destroyed; no %s is spawned"), *GetName(), *Class->GetName());
		return nullptr;
	}
	AActor* Actor = NewObject<AActor>(this, Class, SpawnParameters.Name);
	Actors.Add(Actor);
	try
	{
		if (Transform && Actor->GetRootComponent())
		{
			Actor->GetRootComponent()->SetWorldTransform(*Transform);
		}
		Actor->RegisterAllComponents();
		if (bBegunPlay)
		{
			Actor->DispatchBeginPlay();
		}
	}
	catch (...)
	{
		// A half-spawned actor would tick with some components missing; it goes as a whole.
		DestroyActor(Actor);
		throw;
	}
	return Actor;
}

bool UWorld::DestroyActor(AActor* Actor)
{
	if (!Actor || !Actors.Contains(Actor))
	{
		return false;
	}
	if (Actor->bActorHasBegunPlay)
	{
		Actor->bActorHasBegunPlay = false;
		Actor->EndPlay(EEndPlayReason::Destroyed);
	}
	Actor->UnregisterAllComponents();
	Actors.RemoveSingle(Actor);
	TArray<UActorComponent*> Components;
	Actor->GetComponents(Components);
	for (UActorComponent* Component : Components)
	{
		Component->MarkAsGarbage();
	}
	Actor->MarkAsGarbage();
	return true;
}

void UWorld::BeginPlay()
{
	if (bBegunPlay || bIsTearingDown)
	{
		return;
	}
	bBegunPlay = true;
	for (AActor* Actor : TArray<TObjectPtr<AActor>>(Actors))
	{
		if (Actor)
		{
			Actor->DispatchBeginPlay();
		}
	}
	for (UActorComponent* Component : TArray<TObjectPtr<UActorComponent>>(RegisteredComponents))
	{
		if (Component && !Component->GetOwner())
		{
			Component->ConditionalBeginPlay();
		}
	}
}

void UWorld::Tick(ELevelTick TickType, float DeltaSeconds)
{
	checkf(FMath::IsFinite(DeltaSeconds) && DeltaSeconds >= 0.0f, TEXT("UWorld::Tick of %s: %f seconds is no time step"), *GetName(),
		double(DeltaSeconds));
	checkf(!bInTick, TEXT("UWorld::Tick of %s called from inside its own tick"), *GetName());
	checkf(!bIsTearingDown, TEXT("UWorld::Tick of %s, which is destroyed"), *GetName());
	struct FTickScope
	{
		bool& bFlag;
		explicit FTickScope(bool& InFlag) : bFlag(InFlag) { bFlag = true; }
		~FTickScope() { bFlag = false; }
	} TickScope(bInTick);

	DeltaTimeSeconds = DeltaSeconds;
	TimeSeconds += DeltaSeconds;
	LineBatcher->AgeLines(DeltaSeconds);
	PersistentLineBatcher->AgeLines(DeltaSeconds);
	if (TickType != LEVELTICK_TimeOnly && bBegunPlay)
	{
		for (UActorComponent* Component : TArray<TObjectPtr<UActorComponent>>(RegisteredComponents))
		{
			if (Component && Component->IsRegistered() && Component->GetWorld() == this && Component->HasBegunPlay()
				&& Component->PrimaryComponentTick.bCanEverTick && Component->IsComponentTickEnabled())
			{
				Component->TickComponent(DeltaSeconds, TickType, &Component->PrimaryComponentTick);
			}
		}
	}
	SendAllEndOfFrameUpdates();
}

void UWorld::SendAllEndOfFrameUpdates()
{
	for (UActorComponent* Component : RegisteredComponents)
	{
		if (Component && Component->IsRenderStateDirty())
		{
			Component->DoDeferredRenderUpdates_Concurrent();
		}
	}
}

void UWorld::AddRegisteredComponent(UActorComponent* Component)
{
	RegisteredComponents.AddUnique(Component);
}

void UWorld::RemoveRegisteredComponent(UActorComponent* Component)
{
	RegisteredComponents.RemoveSingle(Component);
}
