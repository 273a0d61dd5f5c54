#pragma once

// The output of pose extraction: bones, curves and attributes, held by reference.

#include "Animation/AnimCurveTypes.h"
#include "Animation/AttributesRuntime.h"
#include "BonePose.h"
#include "CoreMinimal.h"

struct FAnimationPoseData
{
	FAnimationPoseData(FCompactPose& InPose, FBlendedCurve& InCurve, UE::Anim::FStackAttributeContainer& InAttributes)
		: Pose(InPose), Curve(InCurve), Attributes(InAttributes)
	{
	}

	FCompactPose& GetPose() { return Pose; }
	const FCompactPose& GetPose() const { return Pose; }
	FBlendedCurve& GetCurve() { return Curve; }
	const FBlendedCurve& GetCurve() const { return Curve; }
	UE::Anim::FStackAttributeContainer& GetAttributes() { return Attributes; }
	const UE::Anim::FStackAttributeContainer& GetAttributes() const { return Attributes; }

private:
	FCompactPose& Pose;
	FBlendedCurve& Curve;
	UE::Anim::FStackAttributeContainer& Attributes;
};
