#pragma once

#include "CoreMinimal.h"
#include "Engine/EngineTypes.h"
#include "Templates/Casts.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include "Actor.generated.h"

class UActorComponent;
class USceneComponent;
class UWorld;

/**
 * Something placed in a world: a set of components, one of which (the root) gives the actor
 * its transform. Components made with the actor as their outer belong to it.
 */
UCLASS(BlueprintType)
class ENGINE_API AActor : public UObject
{
	GENERATED_BODY()

public:
	AActor(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	USceneComponent* GetRootComponent() const { return RootComponent; }
	/** Makes a component of this actor the root; one owned by another actor is refused with a warning (false). */
	bool SetRootComponent(USceneComponent* NewRootComponent);

	/** The components that belong to the actor, in the order they were made. */
	void GetComponents(TArray<UActorComponent*>& OutComponents) const;
	template <typename ComponentType>
	void GetComponents(TArray<ComponentType*>& OutComponents) const
	{
		OutComponents.Reset();
		for (UActorComponent* Component : OwnedComponents)
		{
			if (ComponentType* Typed = Cast<ComponentType>(Component))
			{
				OutComponents.Add(Typed);
			}
		}
	}
	template <typename ComponentType>
	ComponentType* FindComponentByClass() const
	{
		for (UActorComponent* Component : OwnedComponents)
		{
			if (ComponentType* Typed = Cast<ComponentType>(Component))
			{
				return Typed;
			}
		}
		return nullptr;
	}

	/** Registers every component not yet registered with the actor's world, each scene component after the one it is attached to. */
	void RegisterAllComponents();
	void UnregisterAllComponents();

	/** Begins play of the actor and then its registered components; called once by the world. */
	virtual void BeginPlay();
	/** Ends play of the components, then of the actor. */
	virtual void EndPlay(const EEndPlayReason::Type EndPlayReason);
	bool HasActorBegunPlay() const { return bActorHasBegunPlay; }
	/** Begins play unless it has already. */
	void DispatchBeginPlay();

	/** Removes the actor from its world (see UWorld::DestroyActor). */
	bool Destroy();

	/** The root component's world transform, identity without one. */
	FTransform GetActorTransform() const;
	FVector GetActorLocation() const;
	/** Moves the root component; false without one. */
	bool SetActorTransform(const FTransform& NewTransform);
	bool SetActorLocation(const FVector& NewLocation);

	/** Records a component made with this actor as its outer; components do this themselves. */
	void AddOwnedComponent(UActorComponent* Component);
	void RemoveOwnedComponent(UActorComponent* Component);

protected:
	UPROPERTY()
	TObjectPtr<USceneComponent> RootComponent = nullptr;

private:
	friend class UWorld;

	UPROPERTY()
	TArray<TObjectPtr<UActorComponent>> OwnedComponents;

	bool bActorHasBegunPlay = false;
};
