#pragma once

// Components and an actor that record the engine calls they receive, for order tests.

#include "Components/SceneComponent.h"
#include "CoreMinimal.h"
#include "GameFramework/Actor.h"
#include "UObject/ObjectPtr.h"

#include "SceneTestComponents.generated.h"

namespace SceneTest
{
	/** What the recording components and actors received, "Name:Event" each, in order. */
	TArray<FString>& Events();
}

UCLASS()
class USceneTestRecorderComponent : public USceneComponent
{
	GENERATED_BODY()

public:
	USceneTestRecorderComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	void OnRegister() override;
	void OnUnregister() override;
	void BeginPlay() override;
	void EndPlay(const EEndPlayReason::Type EndPlayReason) override;
	void TickComponent(float DeltaTime, ELevelTick TickType, FActorComponentTickFunction* ThisTickFunction) override;

	/** Set to make the next OnRegister fail a check. */
	bool bFailRegistration = false;
	/** Makes TickComponent tick the world again, from inside its tick. */
	bool bTickWorldFromTick = false;
	/** Registered by TickComponent with this component's world, to test registration during a tick. */
	TObjectPtr<UActorComponent> RegisterOnTick = nullptr;
	float LastDeltaTime = -1.0f;
	ELevelTick LastTickType = LEVELTICK_TimeOnly;
	FActorComponentTickFunction* LastTickFunction = nullptr;
};

/** An actor with a recording root ("RootComp") and a recording child attached to it ("ChildComp"). */
UCLASS()
class ASceneTestActor : public AActor
{
	GENERATED_BODY()

public:
	ASceneTestActor(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	void BeginPlay() override;

	UPROPERTY()
	TObjectPtr<USceneTestRecorderComponent> Child = nullptr;
};
