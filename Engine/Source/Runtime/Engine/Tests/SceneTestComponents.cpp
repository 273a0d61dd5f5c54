#include "SceneTestComponents.h"

#include "Engine/World.h"
#include "UObject/UObjectGlobals.h"

TArray<FString>& SceneTest::Events()
{
	static TArray<FString> Recorded;
	return Recorded;
}

namespace
{
	/** "Actor.Component" for a component of an actor, so that two actors' components tell apart. */
	FString Label(const UActorComponent& Component)
	{
		return Component.GetOwner() ? Component.GetOwner()->GetName() + TEXT(".") + Component.GetName() : Component.GetName();
	}
}

USceneTestRecorderComponent::USceneTestRecorderComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
	PrimaryComponentTick.bCanEverTick = true;
}

void USceneTestRecorderComponent::OnRegister()
{
	Super::OnRegister();
	SceneTest::Events().Add(Label(*this) + TEXT(":OnRegister"));
	check(!bFailRegistration);
}

void USceneTestRecorderComponent::OnUnregister()
{
	Super::OnUnregister();
	SceneTest::Events().Add(Label(*this) + TEXT(":OnUnregister"));
}

void USceneTestRecorderComponent::BeginPlay()
{
	Super::BeginPlay();
	SceneTest::Events().Add(Label(*this) + TEXT(":BeginPlay"));
}

void USceneTestRecorderComponent::EndPlay(const EEndPlayReason::Type EndPlayReason)
{
	Super::EndPlay(EndPlayReason);
	SceneTest::Events().Add(Label(*this) + TEXT(":EndPlay"));
}

void USceneTestRecorderComponent::TickComponent(float DeltaTime, ELevelTick TickType, FActorComponentTickFunction* ThisTickFunction)
{
	Super::TickComponent(DeltaTime, TickType, ThisTickFunction);
	SceneTest::Events().Add(Label(*this) + TEXT(":Tick"));
	LastDeltaTime = DeltaTime;
	LastTickType = TickType;
	LastTickFunction = ThisTickFunction;
	if (bTickWorldFromTick)
	{
		GetWorld()->Tick(TickType, DeltaTime);
	}
	if (RegisterOnTick)
	{
		RegisterOnTick->RegisterComponentWithWorld(GetWorld());
		RegisterOnTick = nullptr;
	}
}

ASceneTestActor::ASceneTestActor(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
	USceneTestRecorderComponent* Root = NewObject<USceneTestRecorderComponent>(this, FName(TEXT("RootComp")));
	SetRootComponent(Root);
	Child = NewObject<USceneTestRecorderComponent>(this, FName(TEXT("ChildComp")));
	Child->SetupAttachment(Root);
}

void ASceneTestActor::BeginPlay()
{
	SceneTest::Events().Add(GetName() + TEXT(":BeginPlay"));
	Super::BeginPlay();
}
