#include "Components/ActorComponent.h"

#include "Engine/World.h"
#include "EngineLogs.h"
#include "GameFramework/Actor.h"

UActorComponent::UActorComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
	PrimaryComponentTick.Target = this;
}

void UActorComponent::PostInitProperties()
{
	Super::PostInitProperties();
	OwnerPrivate = GetTypedOuter<AActor>();
	if (OwnerPrivate && !HasAnyFlags(RF_ClassDefaultObject))
	{
		OwnerPrivate->AddOwnedComponent(this);
	}
}

UWorld* UActorComponent::GetWorld() const
{
	return WorldPrivate ? WorldPrivate : Super::GetWorld();
}

void UActorComponent::RegisterComponent()
{
	UWorld* OwnerWorld = OwnerPrivate ? OwnerPrivate->GetWorld() : nullptr;
	if (!OwnerWorld)
	{
		UE_LOG(LogActorComponent, Warning, TEXT("RegisterComponent: (%s) Trying to register a component whose owner is in no world. Aborting."),
			*GetPathName());
		return;
	}
	RegisterComponentWithWorld(OwnerWorld);
}

void UActorComponent::RegisterComponentWithWorld(UWorld* InWorld)
{
	const TCHAR* Refusal = nullptr;
	if (bRegistered)
	{
		Refusal = TEXT("Already registered");
	}
	else if (!InWorld)
	{
		Refusal = TEXT("Trying to register component with NULL World");
	}
	else if (InWorld->IsTearingDown())
	{
		Refusal = TEXT("Trying to register component with a destroyed World");
	}
	else if (IsGarbage())
	{
		Refusal = TEXT("Trying to register a component that is being destroyed");
	}
	else if (OwnerPrivate && OwnerPrivate->GetWorld() != InWorld)
	{
		Refusal = TEXT("Trying to register a component with a World its owner is not in");
	}
	if (Refusal)
	{
		UE_LOG(LogActorComponent, Warning, TEXT("RegisterComponentWithWorld: (%s) %s. Aborting."), *GetPathName(), Refusal);
		return;
	}

	InWorld->AddRegisteredComponent(this);
	WorldPrivate = InWorld;
	bRegistered = true;
	try
	{
		OnRegister();
	}
	catch (...)
	{
		InWorld->RemoveRegisteredComponent(this);
		WorldPrivate = nullptr;
		bRegistered = false;
		throw;
	}
	if (InWorld->HasBegunPlay() && (!OwnerPrivate || OwnerPrivate->HasActorBegunPlay()))
	{
		ConditionalBeginPlay();
	}
}

void UActorComponent::UnregisterComponent()
{
	if (!bRegistered)
	{
		return;
	}
	UWorld* World = WorldPrivate;
	// The component leaves the world even when its OnUnregister fails.
	struct FLeaveWorld
	{
		UActorComponent* Component;
		UWorld* World;
		~FLeaveWorld()
		{
			World->RemoveRegisteredComponent(Component);
			Component->WorldPrivate = nullptr;
			Component->bRegistered = false;
			Component->bRenderStateDirty = false;
		}
	} LeaveWorld{this, World};
	OnUnregister();
}

void UActorComponent::DestroyComponent(bool bPromoteChildren)
{
	ConditionalEndPlay(EEndPlayReason::Destroyed);
	UnregisterComponent();
	if (OwnerPrivate)
	{
		OwnerPrivate->RemoveOwnedComponent(this);
	}
	MarkAsGarbage();
}

void UActorComponent::MarkRenderStateDirty()
{
	if (bRegistered)
	{
		bRenderStateDirty = true;
	}
}

void UActorComponent::ConditionalBeginPlay()
{
	if (bRegistered && !bHasBegunPlay)
	{
		bHasBegunPlay = true;
		BeginPlay();
	}
}

void UActorComponent::ConditionalEndPlay(EEndPlayReason::Type EndPlayReason)
{
	if (bHasBegunPlay)
	{
		bHasBegunPlay = false;
		EndPlay(EndPlayReason);
	}
}
