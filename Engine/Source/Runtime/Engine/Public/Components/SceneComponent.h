#pragma once

#include "Components/ActorComponent.h"
#include "CoreMinimal.h"
#include "Math/BoxSphereBounds.h"
#include "UObject/ObjectPtr.h"

#include "SceneComponent.generated.h"

/**
 * A component with a place in the scene: a transform relative to the component it is attached
 * to (or to the world, without a parent) and the world transform that follows from it. Children
 * are kept in the order they were attached; attaching again moves a child to the end.
 */
UCLASS(BlueprintType)
class ENGINE_API USceneComponent : public UActorComponent
{
	GENERATED_BODY()

public:
	USceneComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** Attaches to InParent keeping the relative transform, as the component's set-up before registration does. */
	void SetupAttachment(USceneComponent* InParent, FName InSocketName = NAME_None);
	/**
	 * Attaches to Parent at SocketName (NAME_None: the parent's origin) after detaching from the
	 * current parent, applying AttachmentRules to the transform. Attaching to nothing, to itself or
	 * to one of its own descendants logs a warning and returns false; attaching again to the same
	 * parent and socket changes nothing and returns true.
	 */
	bool AttachToComponent(USceneComponent* Parent, const FAttachmentTransformRules& AttachmentRules, FName SocketName = NAME_None);
	/** Detaches from the parent, applying DetachmentRules to the transform; nothing happens without a parent. */
	void DetachFromComponent(const FDetachmentTransformRules& DetachmentRules);

	USceneComponent* GetAttachParent() const { return AttachParent; }
	FName GetAttachSocketName() const { return AttachSocketName; }
	/** The components attached directly to this one, in attachment order. */
	const TArray<TObjectPtr<USceneComponent>>& GetAttachChildren() const { return AttachChildren; }
	/**
	 * The attached children, replacing the array's contents: the direct children in attachment
	 * order, or with bIncludeAllDescendants every descendant depth first, each child followed by
	 * its own descendants.
	 */
	void GetChildrenComponents(bool bIncludeAllDescendants, TArray<USceneComponent*>& Children) const;
	/** The parent, its parent and so on up to the root. */
	void GetParentComponents(TArray<USceneComponent*>& Parents) const;
	/** Whether TestComp is this component's parent or an ancestor of it. */
	bool IsAttachedTo(const USceneComponent* TestComp) const;

	FTransform GetRelativeTransform() const { return RelativeTransform; }
	FVector GetRelativeLocation() const { return RelativeTransform.GetTranslation(); }
	FRotator GetRelativeRotation() const { return RelativeTransform.Rotator(); }
	FVector GetRelativeScale3D() const { return RelativeTransform.GetScale3D(); }
	void SetRelativeTransform(const FTransform& NewTransform);
	void SetRelativeLocation(const FVector& NewLocation);
	void SetRelativeRotation(const FRotator& NewRotation);
	void SetRelativeRotation(const FQuat& NewRotation);
	void SetRelativeScale3D(const FVector& NewScale3D);
	/** Sets the relative transform that gives NewTransform in the world. */
	void SetWorldTransform(const FTransform& NewTransform);
	void SetWorldLocation(const FVector& NewLocation);

	const FTransform& GetComponentTransform() const { return ComponentToWorld; }
	FVector GetComponentLocation() const { return ComponentToWorld.GetTranslation(); }
	FQuat GetComponentQuat() const { return ComponentToWorld.GetRotation(); }
	FRotator GetComponentRotation() const { return ComponentToWorld.Rotator(); }
	FVector GetComponentScale() const { return ComponentToWorld.GetScale3D(); }

	/** The transform of a socket of this component in TransformSpace; a plain scene component's only socket is its origin. */
	virtual FTransform GetSocketTransform(FName InSocketName, ERelativeTransformSpace TransformSpace = RTS_World) const;
	virtual bool DoesSocketExist(FName InSocketName) const { return false; }

	/** Recomputes the world transform from the parent's, updates the bounds, then the children's transforms. */
	void UpdateComponentToWorld(EUpdateTransformFlags UpdateTransformFlags = EUpdateTransformFlags::None,
		ETeleportType Teleport = ETeleportType::None) override;
	void UpdateChildTransforms(EUpdateTransformFlags UpdateTransformFlags = EUpdateTransformFlags::None, ETeleportType Teleport = ETeleportType::None);
	/** Called after the world transform changed. */
	virtual void OnUpdateTransform(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport) {}

	/** The world-space bounds, as of the last UpdateBounds. */
	FBoxSphereBounds Bounds;
	/** The bounds the component would have with LocalToWorld as its world transform; a point at its origin here. */
	virtual FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const;
	virtual void UpdateBounds();

	void OnRegister() override;
	/** Also detaches the component and its children, which keep their world transforms. */
	void DestroyComponent(bool bPromoteChildren = false) override;

private:
	FTransform ParentSocketTransform() const;

	UPROPERTY()
	TObjectPtr<USceneComponent> AttachParent = nullptr;

	UPROPERTY()
	TArray<TObjectPtr<USceneComponent>> AttachChildren;

	FName AttachSocketName;
	FTransform RelativeTransform;
	FTransform ComponentToWorld;
};
