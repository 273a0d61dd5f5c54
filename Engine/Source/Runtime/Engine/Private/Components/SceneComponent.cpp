#include "Components/SceneComponent.h"

#include "EngineLogs.h"
#include "GameFramework/Actor.h"

namespace
{
	void AppendDescendants(const USceneComponent& Component, TArray<USceneComponent*>& Children)
	{
		for (USceneComponent* Child : Component.GetAttachChildren())
		{
			if (Child)
			{
				Children.Add(Child);
				AppendDescendants(*Child, Children);
			}
		}
	}
}

USceneComponent::USceneComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

void USceneComponent::SetupAttachment(USceneComponent* InParent, FName InSocketName)
{
	if (InParent)
	{
		AttachToComponent(InParent, FAttachmentTransformRules::KeepRelativeTransform, InSocketName);
	}
	else
	{
		DetachFromComponent(FDetachmentTransformRules::KeepRelativeTransform);
	}
}

bool USceneComponent::AttachToComponent(USceneComponent* Parent, const FAttachmentTransformRules& AttachmentRules, FName SocketName)
{
	if (!Parent)
	{
		UE_LOG(LogSceneComponent, Warning, TEXT("AttachTo: '%s' cannot be attached to nothing. Aborting."), *GetPathName());
		return false;
	}
	if (Parent == this)
	{
		UE_LOG(LogSceneComponent, Warning, TEXT("AttachTo: '%s' cannot be attached to itself. Aborting."), *GetPathName());
		return false;
	}
	if (Parent->IsAttachedTo(this))
	{
		UE_LOG(LogSceneComponent, Warning, TEXT("AttachTo: '%s' is attached to '%s', which cannot be attached to it in turn. Aborting."),
			*Parent->GetPathName(), *GetPathName());
		return false;
	}
	if (Parent == AttachParent && SocketName == AttachSocketName)
	{
		return true;
	}

	const FTransform OldWorld = ComponentToWorld;
	if (AttachParent)
	{
		AttachParent->AttachChildren.RemoveSingle(this);
	}
	AttachParent = Parent;
	AttachSocketName = SocketName;
	Parent->AttachChildren.Add(this);

	const FTransform KeepWorldRelative = OldWorld * ParentSocketTransform().Inverse();
	auto Pick = [](EAttachmentRule Rule, const auto& Relative, const auto& World, const auto& Snapped)
	{
		return Rule == EAttachmentRule::KeepRelative ? Relative : (Rule == EAttachmentRule::KeepWorld ? World : Snapped);
	};
	RelativeTransform = FTransform(
		Pick(AttachmentRules.RotationRule, RelativeTransform.GetRotation(), KeepWorldRelative.GetRotation(), FQuat::Identity),
		Pick(AttachmentRules.LocationRule, RelativeTransform.GetTranslation(), KeepWorldRelative.GetTranslation(), FVector::ZeroVector),
		Pick(AttachmentRules.ScaleRule, RelativeTransform.GetScale3D(), KeepWorldRelative.GetScale3D(), FVector::OneVector));
	UpdateComponentToWorld();
	return true;
}

void USceneComponent::DetachFromComponent(const FDetachmentTransformRules& DetachmentRules)
{
	if (!AttachParent)
	{
		return;
	}
	AttachParent->AttachChildren.RemoveSingle(this);
	AttachParent = nullptr;
	AttachSocketName = NAME_None;
	auto Pick = [](EDetachmentRule Rule, const auto& Relative, const auto& World) { return Rule == EDetachmentRule::KeepRelative ? Relative : World; };
	RelativeTransform = FTransform(Pick(DetachmentRules.RotationRule, RelativeTransform.GetRotation(), ComponentToWorld.GetRotation()),
		Pick(DetachmentRules.LocationRule, RelativeTransform.GetTranslation(), ComponentToWorld.GetTranslation()),
		Pick(DetachmentRules.ScaleRule, RelativeTransform.GetScale3D(), ComponentToWorld.GetScale3D()));
	UpdateComponentToWorld();
}

void USceneComponent::GetChildrenComponents(bool bIncludeAllDescendants, TArray<USceneComponent*>& Children) const
{
	Children.Reset();
	if (bIncludeAllDescendants)
	{
		AppendDescendants(*this, Children);
		return;
	}
	for (USceneComponent* Child : AttachChildren)
	{
		if (Child)
		{
			Children.Add(Child);
		}
	}
}

void USceneComponent::GetParentComponents(TArray<USceneComponent*>& Parents) const
{
	Parents.Reset();
	for (USceneComponent* Parent = AttachParent; Parent; Parent = Parent->AttachParent)
	{
		Parents.Add(Parent);
	}
}

bool USceneComponent::IsAttachedTo(const USceneComponent* TestComp) const
{
	for (const USceneComponent* Parent = AttachParent; Parent; Parent = Parent->AttachParent)
	{
		if (Parent == TestComp)
		{
			return true;
		}
	}
	return false;
}

void USceneComponent::SetRelativeTransform(const FTransform& NewTransform)
{
	RelativeTransform = NewTransform;
	UpdateComponentToWorld();
}

void USceneComponent::SetRelativeLocation(const FVector& NewLocation)
{
	RelativeTransform.SetTranslation(NewLocation);
	UpdateComponentToWorld();
}

void USceneComponent::SetRelativeRotation(const FRotator& NewRotation)
{
	SetRelativeRotation(NewRotation.Quaternion());
}

void USceneComponent::SetRelativeRotation(const FQuat& NewRotation)
{
	RelativeTransform.SetRotation(NewRotation);
	UpdateComponentToWorld();
}

void USceneComponent::SetRelativeScale3D(const FVector& NewScale3D)
{
	RelativeTransform.SetScale3D(NewScale3D);
	UpdateComponentToWorld();
}

void USceneComponent::SetWorldTransform(const FTransform& NewTransform)
{
	SetRelativeTransform(AttachParent ? NewTransform * ParentSocketTransform().Inverse() : NewTransform);
}

void USceneComponent::SetWorldLocation(const FVector& NewLocation)
{
	FTransform NewTransform = ComponentToWorld;
	NewTransform.SetTranslation(NewLocation);
	SetWorldTransform(NewTransform);
}

FTransform USceneComponent::GetSocketTransform(FName InSocketName, ERelativeTransformSpace TransformSpace) const
{
	switch (TransformSpace)
	{
	case RTS_World:
		return ComponentToWorld;
	case RTS_Actor:
	{
		const USceneComponent* Root = GetOwner() ? GetOwner()->GetRootComponent() : nullptr;
		return Root ? ComponentToWorld * Root->GetComponentTransform().Inverse() : ComponentToWorld;
	}
	case RTS_Component:
	case RTS_ParentBoneSpace:
		return FTransform::Identity;
	}
	return ComponentToWorld;
}

FTransform USceneComponent::ParentSocketTransform() const
{
	return AttachParent ? AttachParent->GetSocketTransform(AttachSocketName, RTS_World) : FTransform::Identity;
}

void USceneComponent::UpdateComponentToWorld(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport)
{
	ComponentToWorld = RelativeTransform * ParentSocketTransform();
	UpdateBounds();
	OnUpdateTransform(UpdateTransformFlags, Teleport);
	UpdateChildTransforms(UpdateTransformFlags, Teleport);
}

void USceneComponent::UpdateChildTransforms(EUpdateTransformFlags UpdateTransformFlags, ETeleportType Teleport)
{
	for (USceneComponent* Child : TArray<TObjectPtr<USceneComponent>>(AttachChildren))
	{
		if (Child)
		{
			Child->UpdateComponentToWorld(UpdateTransformFlags | EUpdateTransformFlags::PropagateFromParent, Teleport);
		}
	}
}

FBoxSphereBounds USceneComponent::CalcBounds(const FTransform& LocalToWorld) const
{
	return FBoxSphereBounds(LocalToWorld.GetLocation(), FVector::ZeroVector, 0.0);
}

void USceneComponent::UpdateBounds()
{
	Bounds = CalcBounds(ComponentToWorld);
}

void USceneComponent::OnRegister()
{
	Super::OnRegister();
	UpdateComponentToWorld();
}

void USceneComponent::DestroyComponent(bool bPromoteChildren)
{
	USceneComponent* NewParent = bPromoteChildren ? AttachParent.Get() : nullptr;
	for (USceneComponent* Child : TArray<TObjectPtr<USceneComponent>>(AttachChildren))
	{
		if (!Child)
		{
			continue;
		}
		if (NewParent)
		{
			Child->AttachToComponent(NewParent, FAttachmentTransformRules::KeepWorldTransform);
		}
		else
		{
			Child->DetachFromComponent(FDetachmentTransformRules::KeepWorldTransform);
		}
	}
	DetachFromComponent(FDetachmentTransformRules::KeepWorldTransform);
	Super::DestroyComponent(bPromoteChildren);
}
