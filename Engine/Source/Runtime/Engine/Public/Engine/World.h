#pragma once

#include "CoreMinimal.h"
#include "Engine/EngineBaseTypes.h"
#include "Templates/Casts.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include "World.generated.h"

class AActor;
class UActorComponent;
class UGameViewportClient;
class ULineBatchComponent;
class UPackage;

namespace EWorldType
{
	enum Type
	{
		None,
		Game,
		Editor,
		PIE,
		EditorPreview,
		GamePreview,
		Inactive,
	};
}

struct FActorSpawnParameters
{
	/** The actor's name in the world; NAME_None makes a unique one. */
	FName Name;
};

/**
 * The scene: actors, the components registered with it, the clock, and play. A world made by
 * CreateWorld is a garbage-collection root until DestroyWorld, and keeps every registered
 * component (and through it the component's owner) from being collected.
 */
UCLASS()
class ENGINE_API UWorld : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * A new world of InWorldType in InWorldPackage (the transient package when null), named
	 * WorldName or a unique "World" name. Game and play-in-editor worlds get a game viewport.
	 */
	static UWorld* CreateWorld(const EWorldType::Type InWorldType, bool bInformEngineOfWorld = false, FName WorldName = NAME_None,
		UPackage* InWorldPackage = nullptr, bool bAddToRoot = true);
	/**
	 * Ends play of every actor and component, unregisters every component, drops the actors and
	 * stops being a root, so the next collection can take the world and all in it. A destroyed
	 * world spawns and registers nothing more (warnings), and ticking it is a failed check.
	 */
	void DestroyWorld(bool bInformEngineOfWorld = false);
	bool IsTearingDown() const { return bIsTearingDown; }

	UWorld* GetWorld() const override { return const_cast<UWorld*>(this); }
	EWorldType::Type WorldType = EWorldType::None;

	/**
	 * Makes an actor of Class (an AActor class; anything else is a failed check) in this world,
	 * puts its root component at Transform (when given), registers its components and, once the
	 * world has begun play, begins its play. Null, with a warning, in a destroyed world.
	 */
	AActor* SpawnActor(UClass* Class, const FTransform* Transform = nullptr, const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters());
	template <typename T>
	T* SpawnActor(const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters())
	{
		return static_cast<T*>(SpawnActor(T::StaticClass(), nullptr, SpawnParameters));
	}
	template <typename T>
	T* SpawnActor(const FTransform& Transform, const FActorSpawnParameters& SpawnParameters = FActorSpawnParameters())
	{
		return static_cast<T*>(SpawnActor(T::StaticClass(), &Transform, SpawnParameters));
	}
	/**
	 * Ends the actor's play, unregisters its components and removes it from the world; it and
	 * its components are marked as garbage. False for an actor that is not in this world.
	 */
	bool DestroyActor(AActor* Actor);
	int32 GetActorCount() const { return Actors.Num(); }

	/**
	 * Begins play: every actor in the order they were spawned (each with its components), then
	 * the components registered without an owner, in registration order. Once only.
	 */
	void BeginPlay();
	bool HasBegunPlay() const { return bBegunPlay; }

	/**
	 * Advances the clock by DeltaSeconds (finite and not negative; else, or from inside a tick,
	 * a failed check) and,
	 * unless TickType is LEVELTICK_TimeOnly or play has not begun, calls TickComponent on every
	 * registered component that can tick, has ticking enabled and has begun play, in
	 * registration order. Components registered during the tick wait for the next one; those
	 * unregistered during it are skipped. The debug lines age first, so lines drawn during a
	 * tick are there until the next. Ends with the end-of-frame updates.
	 */
	void Tick(ELevelTick TickType, float DeltaSeconds);
	/** Seconds the world has ticked through. */
	double GetTimeSeconds() const { return TimeSeconds; }
	/** The DeltaSeconds of the last tick. */
	float GetDeltaSeconds() const { return DeltaTimeSeconds; }
	/** Sends the render state of every component that marked it dirty. */
	void SendAllEndOfFrameUpdates();

	/** The components registered with this world, in registration order (what renderers draw). */
	const TArray<TObjectPtr<UActorComponent>>& GetRegisteredComponents() const { return RegisteredComponents; }

	/** The viewport the world is shown in; null for worlds that are not shown. */
	UGameViewportClient* GetGameViewport() const { return GameViewport; }

	/** Debug lines that last until the next tick (see DrawDebugHelpers.h). */
	UPROPERTY()
	TObjectPtr<ULineBatchComponent> LineBatcher = nullptr;
	/** Debug lines that last for their lifetime, or until flushed. */
	UPROPERTY()
	TObjectPtr<ULineBatchComponent> PersistentLineBatcher = nullptr;

private:
	friend class UActorComponent;

	void AddRegisteredComponent(UActorComponent* Component);
	void RemoveRegisteredComponent(UActorComponent* Component);

	UPROPERTY()
	TArray<TObjectPtr<AActor>> Actors;

	UPROPERTY()
	TArray<TObjectPtr<UActorComponent>> RegisteredComponents;

	UPROPERTY()
	TObjectPtr<UGameViewportClient> GameViewport = nullptr;

	double TimeSeconds = 0.0;
	float DeltaTimeSeconds = 0.0f;
	bool bBegunPlay = false;
	bool bIsTearingDown = false;
	bool bInTick = false;
};
