// The rig step of the composite component: the shape animation read into memory, the
// reference pose blended towards the character's shape frames, and the bone debug drawing.

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"

#include "Animation/AnimSequence.h"
#include "Animation/AnimationPoseData.h"
#include "Animation/Skeleton.h"
#include "BoneContainer.h"
#include "BonePose.h"
#include "DataAssets/HCDataAssets.h"
#include "DrawDebugHelpers.h"
#include "Engine/SkinnedAsset.h"
#include "Misc/MemStack.h"

namespace
{
	const FColor BoneSphereColor(0, 255, 0, 255);
	const FColor BoneLineColor(255, 0, 0, 255);

	/** The conjugate, which inverts a unit rotation. */
	FQuat Conjugate(const FQuat& Rotation)
	{
		return FQuat(-Rotation.X, -Rotation.Y, -Rotation.Z, Rotation.W);
	}

	/** Local (parent-relative) transforms composed into component space along RefSkeleton's parents. */
	TArray<FTransform> ToComponentSpace(const FReferenceSkeleton& RefSkeleton, const TArray<FTransform>& LocalTransforms)
	{
		TArray<FTransform> ComponentSpace = LocalTransforms;
		for (int32 Bone = 0; Bone < ComponentSpace.Num(); ++Bone)
		{
			const int32 Parent = RefSkeleton.GetParentIndex(Bone);
			if (Parent != INDEX_NONE)
			{
				ComponentSpace[Bone] = LocalTransforms[Bone] * ComponentSpace[Parent];
			}
		}
		return ComponentSpace;
	}
}

void UHCCompositeSkeletalMeshComponent::Bake()
{
	TArray<USkeletalMeshComponent*> Targets = GetDescendantSkeletalMeshes();
	Targets.Insert(this, 0);
	const FRig Rig = GetRig(GetSkinnedAsset(), AnimationSequence);
	// An empty rig is refused by SetRig itself, target by target; a rig that the character's
	// shapes cannot be read from is refused before any target changes.
	if (!Rig.IsEmpty())
	{
		const FHCCharacterBlend* Blend = FindCharacterBlend(TEXT("UHCCompositeSkeletalMeshComponent::Bake"));
		if (!Blend || !ValidateRig(*Blend, Rig, Targets))
		{
			return;
		}
	}
	for (USkeletalMeshComponent* Target : Targets)
	{
		SetRig(Target, Rig);
	}
}

bool UHCCompositeSkeletalMeshComponent::ValidateRig(const FHCCharacterBlend& Blend, const FRig& Rig, const TArray<USkeletalMeshComponent*>& Targets) const
{
	const TCHAR* Step = TEXT("UHCCompositeSkeletalMeshComponent::Bake");
	const int32 BoneCount = Rig[0].Num();
	if (!Blend.shapeWeights.IsEmpty() && !AssetCatalogData)
	{
		LogRefusal(Step, TEXT("no asset catalog is set to find the shape assets in"));
		return false;
	}
	for (const FHCShapeWeight& ShapeWeight : Blend.shapeWeights)
	{
		if (!AssetCatalogData->shapeAssets.IsValidIndex(ShapeWeight.index))
		{
			LogRefusal(Step, FString::Printf(TEXT("shape weight \"%s\" names shape asset %d of the catalog's %d"), *ShapeWeight.name, ShapeWeight.index,
								 AssetCatalogData->shapeAssets.Num()));
			return false;
		}
		const int32 ShapeIndex = AssetCatalogData->shapeAssets[ShapeWeight.index].shapeIndex;
		// Frame 0 only fixes the bone count: a shape's frame is its shapeIndex plus one.
		if (ShapeIndex < 0 || ShapeIndex + 1 >= Rig.Num())
		{
			LogRefusal(Step, FString::Printf(TEXT("shape \"%s\" reads frame %d of a rig of %d frames"), *ShapeWeight.name, ShapeIndex + 1, Rig.Num()));
			return false;
		}
		if (Rig[ShapeIndex + 1].Num() < BoneCount)
		{
			LogRefusal(Step, FString::Printf(TEXT("frame %d of the rig holds %d bones of %d"), ShapeIndex + 1, Rig[ShapeIndex + 1].Num(), BoneCount));
			return false;
		}
	}
	for (const USkeletalMeshComponent* Target : Targets)
	{
		const USkinnedAsset* Asset = Target->GetSkinnedAsset();
		const USkeleton* Skeleton = Asset ? Asset->GetSkeleton() : nullptr;
		if (Skeleton && Skeleton->GetReferenceSkeleton().GetNum() < BoneCount)
		{
			LogRefusal(Step, FString::Printf(TEXT("%s has %d bones for a rig of %d"), *Target->GetName(), Skeleton->GetReferenceSkeleton().GetNum(), BoneCount));
			return false;
		}
	}
	return true;
}

UHCCompositeSkeletalMeshComponent::FRig UHCCompositeSkeletalMeshComponent::GetRig(const USkinnedAsset* Asset, const UAnimSequence* Animation) const
{
	if (!Animation || !Asset)
	{
		UE_LOG(LogTemp, Warning, TEXT("Invalid AnimationSequence or SkeletalMesh"));
		return {};
	}
	const int32 FrameCount = Animation->GetNumberOfSampledKeys();
	const float PlayLength = Animation->GetPlayLength();
	const USkeleton* Skeleton = Asset->GetSkeleton();
	if (!Skeleton)
	{
		UE_LOG(LogTemp, Warning, TEXT("Skeleton is invalid"));
		return {};
	}
	const int32 BoneCount = Skeleton->GetReferenceSkeleton().GetNum();
	FRig Rig;
	Rig.Init(TArray<FTransform>(), FrameCount);
	for (TArray<FTransform>& Frame : Rig)
	{
		Frame.SetNum(BoneCount);
	}

	TArray<FBoneIndexType> RequiredBones;
	for (int32 Bone = 0; Bone < BoneCount; ++Bone)
	{
		RequiredBones.Add(static_cast<FBoneIndexType>(Bone));
	}
	const FBoneContainer Container(RequiredBones, UE::Anim::FCurveFilterSettings(UE::Anim::ECurveFilterMode::DisallowAll), *Skeleton);

	// Keys lie evenly from 0 to the play length; a single key is read at time 0.
	const float Interval = FrameCount > 1 ? PlayLength / static_cast<float>(FrameCount - 1) : 0.0f;
	for (int32 Frame = 0; Frame < FrameCount; ++Frame)
	{
		const float Time = static_cast<float>(Frame) * Interval;
		UE_LOG(LogTemp, Warning, TEXT("Frame %d: Time %f"), Frame, Time);

		FMemMark Mark(FMemStack::Get());
		FCompactPose Pose;
		Pose.SetBoneContainer(&Container);
		FBlendedCurve Curve;
		Curve.InitFrom(Container);
		UE::Anim::FStackAttributeContainer Attributes;
		FAnimationPoseData PoseData(Pose, Curve, Attributes);
		Animation->GetBonePose(PoseData, FAnimExtractContext(static_cast<double>(Time)));

		// Every bone is required, so compact pose indices are reference-skeleton indices.
		for (int32 Bone = 0; Bone < BoneCount; ++Bone)
		{
			Rig[Frame][Bone] = Pose[FCompactPoseBoneIndex(Bone)];
			UE_LOG(LogTemp, Warning, TEXT("Bone %d: Transform %s"), Bone, *Rig[Frame][Bone].ToString());
		}
	}
	return Rig;
}

void UHCCompositeSkeletalMeshComponent::SetRig(USkeletalMeshComponent* Target, FRig Rig) const
{
	const USkinnedAsset* Asset = Target ? Target->GetSkinnedAsset() : nullptr;
	const USkeleton* Skeleton = Asset ? Asset->GetSkeleton() : nullptr;
	if (!Skeleton)
	{
		UE_LOG(LogTemp, Warning, TEXT("Invalid USkinnedAsset"));
		return;
	}
	if (Rig.IsEmpty())
	{
		UE_LOG(LogTemp, Warning, TEXT("BoneTransformsPerFrame is invalid."));
		return;
	}
	const TArray<FTransform> Pose = GetBoneTransformsForMorp(Skeleton->GetReferenceSkeleton(), std::move(Rig));
	Target->SetRefPoseOverride(Pose);
	Target->UpdateBoneBodyMapping();
	Target->UpdateBounds();
	Target->MarkRenderStateDirty();
	Target->UpdateComponentToWorld(EUpdateTransformFlags::None, ETeleportType::None);
}

TArray<FTransform> UHCCompositeSkeletalMeshComponent::GetBoneTransformsForMorp(FReferenceSkeleton RefSkeleton, FRig Rig) const
{
	// Bake validated the character and the rig against the catalog and the skeletons.
	check(!Rig.IsEmpty());
	const int32 BoneCount = Rig[0].Num();
	TArray<FTransform> Pose = RefSkeleton.GetRefBonePose();
	check(Pose.Num() >= BoneCount);
	const FHCCharacterBlend* Blend = FindCharacterBlend(TEXT("UHCCompositeSkeletalMeshComponent::GetBoneTransformsForMorp"));
	check(Blend);

	for (int32 Bone = 0; Bone < BoneCount; ++Bone)
	{
		const FQuat RefRotation = Pose[Bone].GetRotation();
		const FVector RefTranslation = Pose[Bone].GetTranslation();
		FQuat Accumulated = FQuat::Identity;
		FVector Offset = FVector::ZeroVector;
		for (const FHCShapeWeight& ShapeWeight : Blend->shapeWeights)
		{
			const int32 Frame = AssetCatalogData->shapeAssets[ShapeWeight.index].shapeIndex + 1;
			const FTransform& Shape = Rig[Frame][Bone];
			const double Weight = ShapeWeight.weight;
			Offset += ((Shape.GetTranslation() - RefTranslation) * Weight + RefTranslation) - RefTranslation;
			const FQuat Blended = FQuat::Slerp_NotNormalized(RefRotation, Shape.GetRotation(), Weight).GetNormalized();
			// Each shape's change of rotation relative to the reference, composed in order.
			Accumulated = Accumulated * (Conjugate(RefRotation) * Blended);
		}
		// Scale is never blended.
		Pose[Bone].SetRotation(RefRotation * Accumulated);
		Pose[Bone].SetTranslation(RefTranslation + Offset);
	}
	return Pose;
}

void UHCCompositeSkeletalMeshComponent::BoneDebugger(USkeletalMeshComponent* SkeletalMeshComponent) const
{
	check(SkeletalMeshComponent);
	DrawBones(*SkeletalMeshComponent, SkeletalMeshComponent->GetComponentSpaceTransforms(), 5.0f);
}

void UHCCompositeSkeletalMeshComponent::BoneDebugger(USkeletalMeshComponent* SkeletalMeshComponent, const TArray<FTransform>& Transforms) const
{
	check(SkeletalMeshComponent && SkeletalMeshComponent->GetSkinnedAsset());
	const FReferenceSkeleton& RefSkeleton = SkeletalMeshComponent->GetSkinnedAsset()->GetRefSkeleton();
	check(RefSkeleton.GetNum() == Transforms.Num());
	DrawBones(*SkeletalMeshComponent, ToComponentSpace(RefSkeleton, Transforms), 2.0f);
}

void UHCCompositeSkeletalMeshComponent::BoneVisualizer(USkeletalMeshComponent* SkeletalMeshComponent) const
{
	check(SkeletalMeshComponent);
	DrawBones(*SkeletalMeshComponent, SkeletalMeshComponent->GetComponentSpaceTransforms(), 2.0f);
}

void UHCCompositeSkeletalMeshComponent::DrawBones(const USkeletalMeshComponent& Component, const TArray<FTransform>& ComponentSpaceTransforms, float Radius) const
{
	const USkinnedAsset* Asset = Component.GetSkinnedAsset();
	if (!Asset)
	{
		return;
	}
	const FReferenceSkeleton& RefSkeleton = Asset->GetRefSkeleton();
	const FTransform& ComponentToWorld = Component.GetComponentTransform();
	const UWorld* World = Component.GetWorld();
	for (int32 Bone = 0; Bone < ComponentSpaceTransforms.Num(); ++Bone)
	{
		const FVector Location = ComponentToWorld.TransformPosition(ComponentSpaceTransforms[Bone].GetLocation());
		DrawDebugSphere(World, Location, Radius, 12, BoneSphereColor, false, -1.0f, 0, 0.0f);
		const int32 Parent = RefSkeleton.GetParentIndex(Bone);
		if (Parent != INDEX_NONE)
		{
			const FVector ParentLocation = ComponentToWorld.TransformPosition(ComponentSpaceTransforms[Parent].GetLocation());
			DrawDebugLine(World, Location, ParentLocation, BoneLineColor, false, -1.0f, 0, 1.0f);
		}
	}
}
