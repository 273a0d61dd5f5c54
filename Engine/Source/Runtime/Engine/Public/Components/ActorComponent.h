#pragma once

#include "CoreMinimal.h"
#include "Engine/EngineBaseTypes.h"
#include "Engine/EngineTypes.h"
#include "UObject/Object.h"
#include "UObject/UObjectGlobals.h"

#include "ActorComponent.generated.h"

class AActor;
class UWorld;

enum class EUpdateTransformFlags : int32
{
	None = 0x0,
	SkipPhysicsUpdate = 0x1,
	/** The update comes from the parent moving. */
	PropagateFromParent = 0x2,
	OnlyUpdateIfUsingSocket = 0x4,
};
ENUM_CLASS_FLAGS(EUpdateTransformFlags)

/**
 * A piece of behaviour an actor (or the world directly) holds. A component takes part in the
 * world once registered: OnRegister runs, it begins play with the world, it ticks through
 * PrimaryComponentTick while registered and begun, and the world keeps it from being collected.
 *
 * The engine calls OnRegister, BeginPlay, TickComponent and EndPlay; subclasses override them
 * and call the base first. Registration state and the begun-play flag are kept by the
 * dispatching code, so they are right even in an override that forgets its base call.
 */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UActorComponent : public UObject
{
	GENERATED_BODY()

public:
	UActorComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** Ticks only when bCanEverTick is set (in the constructor) and ticking is enabled. */
	FActorComponentTickFunction PrimaryComponentTick;

	/** The actor the component belongs to: the actor it was made in, if any. */
	AActor* GetOwner() const { return OwnerPrivate; }
	/** The world it is registered with, else its owner's. */
	UWorld* GetWorld() const override;

	/** Registers with the owner's world; a component without an owner in a world logs a warning and stays unregistered. */
	void RegisterComponent();
	/**
	 * Registers with InWorld and calls OnRegister; when the world (and the owner, if any) has
	 * begun play, the component begins play too. A registered component, a null world, a
	 * destroyed world or component, or an owner in another world logs a warning and changes
	 * nothing. When OnRegister fails (throws), the registration is undone before the failure
	 * goes on.
	 */
	void RegisterComponentWithWorld(UWorld* InWorld);
	/** Calls OnUnregister and leaves the world; the component stops ticking. Nothing happens when not registered. */
	void UnregisterComponent();
	/** Ends play, unregisters, leaves the owner and marks the component as garbage for the next collection. */
	virtual void DestroyComponent(bool bPromoteChildren = false);
	bool IsRegistered() const { return bRegistered; }
	bool HasBegunPlay() const { return bHasBegunPlay; }

	virtual void OnRegister() {}
	virtual void OnUnregister() {}
	virtual void BeginPlay() {}
	virtual void EndPlay(const EEndPlayReason::Type EndPlayReason) {}
	/** Called once per world tick while registered, begun and enabled; ThisTickFunction is PrimaryComponentTick. */
	virtual void TickComponent(float DeltaTime, ELevelTick TickType, FActorComponentTickFunction* ThisTickFunction) {}

	void SetComponentTickEnabled(bool bEnabled) { PrimaryComponentTick.SetTickFunctionEnable(bEnabled); }
	bool IsComponentTickEnabled() const { return PrimaryComponentTick.IsTickFunctionEnabled(); }

	/** Asks for the render state to be rebuilt at the end of the frame; a registered component only. */
	virtual void MarkRenderStateDirty();
	bool IsRenderStateDirty() const { return bRenderStateDirty; }
	/** The end-of-frame update: the pending render state is taken as sent. */
	void DoDeferredRenderUpdates_Concurrent() { bRenderStateDirty = false; }

	/** Recomputes the component's world transform; only scene components have one. */
	virtual void UpdateComponentToWorld(EUpdateTransformFlags UpdateTransformFlags = EUpdateTransformFlags::None,
		ETeleportType Teleport = ETeleportType::None)
	{
	}

	/** Records the owning actor. */
	void PostInitProperties() override;

protected:
	/** Begins play unless it has already; for the world and the owner. */
	void ConditionalBeginPlay();
	/** Ends play if it has begun. */
	void ConditionalEndPlay(EEndPlayReason::Type EndPlayReason);

private:
	friend class AActor;
	friend class UWorld;

	AActor* OwnerPrivate = nullptr;
	UWorld* WorldPrivate = nullptr;
	bool bRegistered = false;
	bool bHasBegunPlay = false;
	bool bRenderStateDirty = false;
};
