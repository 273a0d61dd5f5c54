#include "GameFramework/Actor.h"

#include "Components/SceneComponent.h"
#include "Engine/World.h"
#include "EngineLogs.h"

AActor::AActor(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

bool AActor::SetRootComponent(USceneComponent* NewRootComponent)
{
	if (NewRootComponent && NewRootComponent->GetOwner() != this)
	{
		UE_LOG(LogWorld, Warning, TEXT("SetRootComponent: %s does not belong to %s"), *NewRootComponent->GetPathName(), *GetPathName());
		return false;
	}
	RootComponent = NewRootComponent;
	return true;
}

void AActor::GetComponents(TArray<UActorComponent*>& OutComponents) const
{
	GetComponents<UActorComponent>(OutComponents);
}

void AActor::RegisterAllComponents()
{
	UWorld* World = GetWorld();
	if (!World)
	{
		UE_LOG(LogWorld, Warning, TEXT("RegisterAllComponents: %s is in no world"), *GetPathName());
		return;
	}
	// Parents first, so that a child's first world transform already sees its parent's.
	auto Register = [this, World](auto& Self, UActorComponent* Component) -> void
	{
		if (!Component || Component->IsRegistered())
		{
			return;
		}
		const USceneComponent* Scene = Cast<USceneComponent>(Component);
		if (Scene && Scene->GetAttachParent() && Scene->GetAttachParent()->GetOwner() == this)
		{
			Self(Self, Scene->GetAttachParent());
		}
		Component->RegisterComponentWithWorld(World);
	};
	Register(Register, RootComponent);
	for (UActorComponent* Component : TArray<TObjectPtr<UActorComponent>>(OwnedComponents))
	{
		Register(Register, Component);
	}
}

void AActor::UnregisterAllComponents()
{
	const TArray<TObjectPtr<UActorComponent>> Components = OwnedComponents;
	for (int32 Index = Components.Num() - 1; Index >= 0; --Index)
	{
		if (Components[Index])
		{
			Components[Index]->UnregisterComponent();
		}
	}
}

void AActor::BeginPlay()
{
	for (UActorComponent* Component : TArray<TObjectPtr<UActorComponent>>(OwnedComponents))
	{
		if (Component)
		{
			Component->ConditionalBeginPlay();
		}
	}
}

void AActor::EndPlay(const EEndPlayReason::Type EndPlayReason)
{
	for (UActorComponent* Component : TArray<TObjectPtr<UActorComponent>>(OwnedComponents))
	{
		if (Component)
		{
			Component->ConditionalEndPlay(EndPlayReason);
		}
	}
}

void AActor::DispatchBeginPlay()
{
	if (!bActorHasBegunPlay && GetWorld())
	{
		// Set first, so components registered while the actor begins play begin with it.
		bActorHasBegunPlay = true;
		BeginPlay();
	}
}

bool AActor::Destroy()
{
	UWorld* World = GetWorld();
	return World && World->DestroyActor(this);
}

FTransform AActor::GetActorTransform() const
{
	return RootComponent ? RootComponent->GetComponentTransform() : FTransform::Identity;
}

FVector AActor::GetActorLocation() const
{
	return GetActorTransform().GetTranslation();
}

bool AActor::SetActorTransform(const FTransform& NewTransform)
{
	if (!RootComponent)
	{
		return false;
	}
	RootComponent->SetWorldTransform(NewTransform);
	return true;
}

bool AActor::SetActorLocation(const FVector& NewLocation)
{
	if (!RootComponent)
	{
		return false;
	}
	RootComponent->SetWorldLocation(NewLocation);
	return true;
}

void AActor::AddOwnedComponent(UActorComponent* Component)
{
	if (Component)
	{
		OwnedComponents.AddUnique(Component);
	}
}

void AActor::RemoveOwnedComponent(UActorComponent* Component)
{
	OwnedComponents.RemoveSingle(Component);
	if (RootComponent == Component)
	{
		RootComponent = nullptr;
	}
}
