#include "Components/SceneComponent.h"
#include "Logging/LogCapture.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	USceneComponent* MakeScene(const TCHAR* Name)
	{
		return NewObject<USceneComponent>(nullptr, MakeUniqueObjectName(GetTransientPackage(), USceneComponent::StaticClass(), FName(Name)));
	}

	TArray<FString> Names(const TArray<USceneComponent*>& Components)
	{
		TArray<FString> Result;
		for (const USceneComponent* Component : Components)
		{
			Result.Add(Component->GetFName().GetPlainNameString());
		}
		return Result;
	}

	void ExpectLocation(const USceneComponent* Component, const FVector& Expected)
	{
		EXPECT_TRUE(Component->GetComponentLocation().Equals(Expected, 1e-9)) << *Component->GetComponentLocation().ToString();
	}
}

TEST(SceneComponentTest, DescendantsComeDepthFirstInAttachmentOrder)
{
	USceneComponent* Body = MakeScene(TEXT("Body"));
	USceneComponent* Shirt = MakeScene(TEXT("Shirt"));
	USceneComponent* Button = MakeScene(TEXT("Button"));
	USceneComponent* Hair = MakeScene(TEXT("Hair"));
	USceneComponent* Clip = MakeScene(TEXT("Clip"));
	Shirt->SetupAttachment(Body);
	Hair->SetupAttachment(Body);
	Button->SetupAttachment(Shirt);
	Clip->SetupAttachment(Hair);

	TArray<USceneComponent*> Children = {Clip};
	Body->GetChildrenComponents(false, Children);
	EXPECT_EQ(Names(Children), (TArray<FString>{TEXT("Shirt"), TEXT("Hair")})) << "the array is replaced, not appended to";
	Body->GetChildrenComponents(true, Children);
	EXPECT_EQ(Names(Children), (TArray<FString>{TEXT("Shirt"), TEXT("Button"), TEXT("Hair"), TEXT("Clip")}));

	// Attaching again moves a child to the end; attaching to the same place again changes nothing.
	EXPECT_TRUE(Shirt->AttachToComponent(Body, FAttachmentTransformRules::KeepRelativeTransform));
	Body->GetChildrenComponents(true, Children);
	EXPECT_EQ(Names(Children), (TArray<FString>{TEXT("Shirt"), TEXT("Button"), TEXT("Hair"), TEXT("Clip")}));
	EXPECT_TRUE(Button->AttachToComponent(Body, FAttachmentTransformRules::KeepRelativeTransform));
	Body->GetChildrenComponents(true, Children);
	EXPECT_EQ(Names(Children), (TArray<FString>{TEXT("Shirt"), TEXT("Hair"), TEXT("Clip"), TEXT("Button")}));
	Shirt->GetChildrenComponents(true, Children);
	EXPECT_TRUE(Children.IsEmpty());

	Clip->GetParentComponents(Children);
	EXPECT_EQ(Names(Children), (TArray<FString>{TEXT("Hair"), TEXT("Body")}));
	EXPECT_TRUE(Clip->IsAttachedTo(Body));
	EXPECT_FALSE(Body->IsAttachedTo(Clip));
	EXPECT_FALSE(Clip->IsAttachedTo(Clip));
}

TEST(SceneComponentTest, CyclesAndEmptyParentsAreRefused)
{
	USceneComponent* Body = MakeScene(TEXT("Body"));
	USceneComponent* Hand = MakeScene(TEXT("Hand"));
	USceneComponent* Ring = MakeScene(TEXT("Ring"));
	Hand->SetupAttachment(Body);
	Ring->SetupAttachment(Hand);

	FLogCapture Capture;
	EXPECT_FALSE(Body->AttachToComponent(Ring, FAttachmentTransformRules::KeepRelativeTransform));
	EXPECT_FALSE(Hand->AttachToComponent(Hand, FAttachmentTransformRules::KeepRelativeTransform));
	EXPECT_FALSE(Ring->AttachToComponent(nullptr, FAttachmentTransformRules::KeepRelativeTransform));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning),
		(TArray<FString>{FString::Printf(TEXT("AttachTo: '%s' is attached to '%s', which cannot be attached to it in turn. Aborting."),
							 *Ring->GetPathName(), *Body->GetPathName()),
			FString::Printf(TEXT("AttachTo: '%s' cannot be attached to itself. Aborting."), *Hand->GetPathName()),
			FString::Printf(TEXT("AttachTo: '%s' cannot be attached to nothing. Aborting."), *Ring->GetPathName())}));
	EXPECT_EQ(Body->GetAttachParent(), nullptr);
	EXPECT_EQ(Ring->GetAttachParent(), Hand);
	EXPECT_EQ(Hand->GetAttachChildren().Num(), 1);
}

TEST(SceneComponentTest, WorldTransformsFollowParentsAndUpdatesReachDescendants)
{
	USceneComponent* Body = MakeScene(TEXT("Body"));
	USceneComponent* Forearm = MakeScene(TEXT("Forearm"));
	USceneComponent* Hand = MakeScene(TEXT("Hand"));
	Forearm->SetRelativeLocation(FVector(10, 0, 0));
	Hand->SetRelativeLocation(FVector(5, 0, 0));
	Forearm->SetupAttachment(Body);
	Hand->SetupAttachment(Forearm);
	ExpectLocation(Hand, FVector(15, 0, 0));

	Body->SetRelativeTransform(FTransform(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), FVector(0, 0, 100), FVector(2, 2, 2)));
	ExpectLocation(Forearm, FVector(0, 20, 100));
	ExpectLocation(Hand, FVector(0, 30, 100));
	EXPECT_TRUE(Hand->GetComponentScale().Equals(FVector(2, 2, 2)));
	EXPECT_TRUE(Hand->GetComponentRotation().Equals(FRotator(0, 90, 0), 1e-9));

	// Setting a world transform writes the relative one that yields it.
	Hand->SetWorldLocation(FVector(0, 0, 100));
	EXPECT_TRUE(Hand->GetRelativeLocation().Equals(FVector(-10, 0, 0), 1e-9)) << *Hand->GetRelativeLocation().ToString();
	ExpectLocation(Hand, FVector(0, 0, 100));
	EXPECT_EQ(Body->GetSocketTransform(NAME_None, RTS_Component).GetTranslation(), FVector(0, 0, 0));
}

TEST(SceneComponentTest, AttachmentAndDetachmentRulesDecideWhatIsKept)
{
	USceneComponent* Parent = MakeScene(TEXT("Parent"));
	Parent->SetRelativeTransform(FTransform(FQuat::Identity, FVector(100, 0, 0), FVector(2, 2, 2)));
	USceneComponent* Kept = MakeScene(TEXT("Kept"));
	USceneComponent* Moved = MakeScene(TEXT("Moved"));
	USceneComponent* Snapped = MakeScene(TEXT("Snapped"));
	for (USceneComponent* Component : {Kept, Moved, Snapped})
	{
		Component->SetRelativeTransform(FTransform(FQuat::Identity, FVector(10, 0, 0), FVector(3, 3, 3)));
	}

	Kept->AttachToComponent(Parent, FAttachmentTransformRules::KeepWorldTransform);
	ExpectLocation(Kept, FVector(10, 0, 0));
	EXPECT_TRUE(Kept->GetRelativeLocation().Equals(FVector(-45, 0, 0), 1e-9));
	EXPECT_TRUE(Kept->GetComponentScale().Equals(FVector(3, 3, 3), 1e-9));

	Moved->AttachToComponent(Parent, FAttachmentTransformRules::KeepRelativeTransform);
	ExpectLocation(Moved, FVector(120, 0, 0));

	Snapped->AttachToComponent(Parent, FAttachmentTransformRules::SnapToTargetNotIncludingScale);
	ExpectLocation(Snapped, FVector(100, 0, 0));
	EXPECT_TRUE(Snapped->GetComponentScale().Equals(FVector(3, 3, 3), 1e-9)) << "the world scale is kept";

	Moved->DetachFromComponent(FDetachmentTransformRules::KeepWorldTransform);
	ExpectLocation(Moved, FVector(120, 0, 0));
	Kept->DetachFromComponent(FDetachmentTransformRules::KeepRelativeTransform);
	ExpectLocation(Kept, FVector(-45, 0, 0));
	EXPECT_EQ(Parent->GetAttachChildren().Num(), 1);
	Kept->DetachFromComponent(FDetachmentTransformRules::KeepWorldTransform);
	ExpectLocation(Kept, FVector(-45, 0, 0));
}

TEST(SceneComponentTest, DestroyingDetachesOrPromotesChildren)
{
	USceneComponent* Base = MakeScene(TEXT("Base"));
	USceneComponent* Middle = MakeScene(TEXT("Middle"));
	USceneComponent* Leaf = MakeScene(TEXT("Leaf"));
	Base->SetRelativeLocation(FVector(1, 0, 0));
	Middle->SetupAttachment(Base);
	Leaf->SetupAttachment(Middle);
	Leaf->SetRelativeLocation(FVector(0, 2, 0));

	Middle->DestroyComponent(true);
	EXPECT_TRUE(Middle->IsGarbage());
	EXPECT_EQ(Leaf->GetAttachParent(), Base);
	ExpectLocation(Leaf, FVector(1, 2, 0));
	EXPECT_EQ(Base->GetAttachChildren().Num(), 1);

	Base->DestroyComponent();
	EXPECT_EQ(Leaf->GetAttachParent(), nullptr);
	ExpectLocation(Leaf, FVector(1, 2, 0));
}
