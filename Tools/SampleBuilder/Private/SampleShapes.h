#pragma once

// The sample's shapes: which source morph targets the body carries, how the editor groups them
// into sliders, and the shape assets the catalog lists. A slider with one target runs from 0 to
// 1, with two from one target to the other, with three or more it is a polygon. Every target
// becomes one shape asset in slider order; the shape asset's number is its frame in the rig
// animation (frame 0 being the reference skeleton). One more shape asset, "Tanned", changes only
// the skin's colour, so its frame is the reference skeleton again.

#include "CoreMinimal.h"

#include <vector>

struct FSampleShapeSlider
{
	/** Name of the editor section (segmentation) the slider is in. */
	const TCHAR* Segment;
	const TCHAR* DisplayName;
	/** Target files under the source's targets folder, without ".target"; the file's base name is the morph target's name. */
	std::vector<const TCHAR*> Targets;
};

struct FSampleSegment
{
	const TCHAR* Name;
	const TCHAR* DisplayName;
};

namespace SampleShapes
{
	inline const std::vector<FSampleSegment>& GetSegments()
	{
		static const std::vector<FSampleSegment> Segments = {
			{TEXT("Skin"), TEXT("Skin")},
			{TEXT("Body"), TEXT("Body")},
			{TEXT("Head"), TEXT("Head")},
			// Shares the head's area in the editor: sections with one display name share one.
			{TEXT("Face"), TEXT("Head")},
			{TEXT("Ancestry"), TEXT("Ancestry")},
		};
		return Segments;
	}

	inline const std::vector<FSampleShapeSlider>& GetSliders()
	{
		static const std::vector<FSampleShapeSlider> Sliders = {
			{TEXT("Body"), TEXT("Body Type"),
				{TEXT("bodyshapes/bodyshapes-elvs-fem-apple"), TEXT("bodyshapes/bodyshapes-elvs-fem-full-hourglass"),
					TEXT("bodyshapes/bodyshapes-elvs-fem-rectangle"), TEXT("bodyshapes/bodyshapes-elvs-fem-triangle"),
					TEXT("bodyshapes/bodyshapes-elvs-fem-invert-triangle")}},
			{TEXT("Body"), TEXT("Belly"), {TEXT("stomach/stomach-pregnant-decr"), TEXT("stomach/stomach-pregnant-incr")}},
			{TEXT("Body"), TEXT("Shoulders"), {TEXT("torso/torso-scale-horiz-decr"), TEXT("torso/torso-scale-horiz-incr")}},
			{TEXT("Body"), TEXT("Hips"), {TEXT("hip/hip-scale-horiz-decr"), TEXT("hip/hip-scale-horiz-incr")}},
			{TEXT("Body"), TEXT("Buttocks"), {TEXT("buttocks/buttocks-volume-decr"), TEXT("buttocks/buttocks-volume-incr")}},
			{TEXT("Head"), TEXT("Head Shape"),
				{TEXT("head/head-oval"), TEXT("head/head-round"), TEXT("head/head-square"), TEXT("head/head-triangular"),
					TEXT("head/head-invertedtriangular"), TEXT("head/head-diamond")}},
			{TEXT("Head"), TEXT("Age"), {TEXT("head/head-age-incr")}},
			{TEXT("Head"), TEXT("Double Chin"), {TEXT("neck/neck-double-incr")}},
			{TEXT("Face"), TEXT("Nose Width"), {TEXT("nose/nose-scale-horiz-decr"), TEXT("nose/nose-scale-horiz-incr")}},
			{TEXT("Face"), TEXT("Chin"), {TEXT("chin/chin-prominent-decr"), TEXT("chin/chin-prominent-incr")}},
			{TEXT("Face"), TEXT("Pointed Chin"), {TEXT("chin/chin-triangle")}},
			{TEXT("Face"), TEXT("Brow Height"), {TEXT("eyebrows/eyebrows-trans-down"), TEXT("eyebrows/eyebrows-trans-up")}},
			{TEXT("Ancestry"), TEXT("Ancestry"),
				{TEXT("macrodetails/african-female-young"), TEXT("macrodetails/asian-male-young"), TEXT("macrodetails/caucasian-male-young")}},
		};
		return Sliders;
	}

	/** The morph target (and shape asset) name of a target file: its base name. */
	inline FString GetMorphName(const TCHAR* Target)
	{
		const FString Path(Target);
		int32 Slash = INDEX_NONE;
		Path.FindLastChar(TEXT('/'), Slash);
		return Path.Mid(Slash + 1);
	}

	/** Every target file of the sliders, in slider order: the morph targets and the first shape assets. */
	inline TArray<FString> GetTargets()
	{
		TArray<FString> Targets;
		for (const FSampleShapeSlider& Slider : GetSliders())
		{
			for (const TCHAR* Target : Slider.Targets)
			{
				Targets.Add(Target);
			}
		}
		return Targets;
	}

	/** The shape whose asset also carries the aged skin albedo. */
	inline constexpr const TCHAR* AgedShape = TEXT("head-age-incr");
	/** The texture-only shape asset, listed after the morph shapes. */
	inline constexpr const TCHAR* TannedShape = TEXT("Tanned");
}
